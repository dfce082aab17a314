// Caption widths in the window's font ("MS Sans Serif", 8 points), for labels placed left of
// their lists.
#pragma once

#include <string>

namespace dova {

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int TextWidth(const std::string& text) = 0;
};

}  // namespace dova
