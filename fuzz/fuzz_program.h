// One program directory for a fuzz target's whole run: the fakes of the native tests with their
// data and languages directories, made once and reused by every input.
#pragma once

#include "tests/support/test_app.h"

namespace dova {

inline testing::TestApp& FuzzProgram() {
  static testing::TestApp* app = new testing::TestApp;  // lives to the end of the process
  return *app;
}

// Writes `bytes` to `path` (a core path), replacing the file; aborts when it cannot.
void WriteFuzzFile(const std::string& path, const std::string& bytes);

}  // namespace dova

#include <cstdio>

#include "fuzz/fuzz_check.h"
#include "platform/file_system.h"

inline void dova::WriteFuzzFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = OpenFile(path, "wb");
  FuzzCheck(file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                std::fclose(file) == 0,
            "cannot write the input to " + path);
}
