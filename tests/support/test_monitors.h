// A monitor of the desktop for tests, in the platform's terms.
#pragma once

#include "platform/screen.h"

namespace dova::testing {

inline MonitorArea TestMonitor(int left, int top, int width, int height, const char* path = "",
                               bool primary = false) {
  MonitorArea m;
  m.left = left;
  m.top = top;
  m.width = width;
  m.height = height;
  m.devicePath = path;
  m.primary = primary;
  return m;
}

}  // namespace dova::testing
