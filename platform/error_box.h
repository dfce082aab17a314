// The application's standard error box: an error that leaves an event handler is shown here
// with its own text and the program goes on.
#pragma once

#include <string>

namespace dova {

class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace dova
