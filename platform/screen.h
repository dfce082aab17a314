// The screens of the desktop, read at the moment of the call.
#pragma once

#include <string>
#include <vector>

namespace dova {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// One monitor of the desktop in physical pixels of the virtual screen: the primary monitor's
// top-left corner is (0,0), the others may lie at negative coordinates.
struct MonitorArea {
  int left = 0, top = 0, width = 0, height = 0;
  // The device interface path: the same monitor keeps it when the monitors are numbered anew.
  std::string devicePath;
  bool primary = false;
};

class Screen {
 public:
  virtual ~Screen() = default;
  // The primary screen's size.
  virtual ScreenSize Size() = 0;
  // The monitors attached now, in the system's order; never empty. By default the primary
  // screen alone, without a path.
  virtual std::vector<MonitorArea> Monitors() {
    const ScreenSize size = Size();
    MonitorArea primary;
    primary.width = size.width;
    primary.height = size.height;
    primary.primary = true;
    return {primary};
  }
};

}  // namespace dova
