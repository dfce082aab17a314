// Plays a system with a given ANSI code page for one test. Natively the code page service reads
// it from DOVA_ANSI_CODE_PAGE, which this sets for the object's lifetime; on Windows the
// system's own code page stays, and Active() tells whether it is the one the test needs.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/code_page.h"

namespace dova::testing {

class ScopedAnsiCodePage {
 public:
  explicit ScopedAnsiCodePage(unsigned codePage) {
#ifndef _WIN32
    const char* old = std::getenv("DOVA_ANSI_CODE_PAGE");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    setenv("DOVA_ANSI_CODE_PAGE", std::to_string(codePage).c_str(), 1);
#endif
    active_ = AnsiCodePage() == codePage;
  }
  ~ScopedAnsiCodePage() {
#ifndef _WIN32
    if (hadOld_)
      setenv("DOVA_ANSI_CODE_PAGE", old_.c_str(), 1);
    else
      unsetenv("DOVA_ANSI_CODE_PAGE");
#endif
  }
  ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
  ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;

  bool Active() const { return active_; }

 private:
  bool active_ = false;
  bool hadOld_ = false;
  std::string old_;
};

}  // namespace dova::testing
