// How a fuzz target reports a broken promise: the reason on stderr, then abort(), which
// libFuzzer records as a crash with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace dova {

[[noreturn]] inline void FuzzFailure(const std::string& what) {
  std::fprintf(stderr, "broken promise: %s\n", what.c_str());
  std::abort();
}

inline void FuzzCheck(bool promise, const std::string& what) {
  if (!promise) FuzzFailure(what);
}

}  // namespace dova
