// The program's own error: unexpected failures (a number that does not convert, a file that
// cannot be read or written) travel as dova::Error up to the event that started the work, where
// the window shows its text in the standard error box and the program goes on.
#pragma once

#include <stdexcept>
#include <string>

namespace dova {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace dova
