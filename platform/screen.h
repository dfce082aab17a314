// The primary screen's size, read at the moment of the call.
#pragma once

namespace dova {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  virtual ScreenSize Size() = 0;
};

}  // namespace dova
