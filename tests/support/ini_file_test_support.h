// The INI tests run against every implementation the build has: the portable one everywhere,
// and on Windows also the system's (the private-profile functions), so both are held to the
// same behaviour. Checks of file bytes that only the portable writer promises (Wine rewrites the
// whole file when it writes) go through ExpectFileBytes, which the system's writer skips.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/ini_file.h"
#include "tests/support/temp_dir.h"

namespace dova::testing {

struct IniImplementation {
  const char* name;
  std::unique_ptr<IniFile> (*open)(const std::string& path);
  bool keepsOtherBytes;  // leaves every line it does not write byte for byte
};

inline IniImplementation PortableIni() { return {"Portable", &OpenPortableIniFile, true}; }
inline IniImplementation SystemIni() {
#ifdef _WIN32
  return {"System", &OpenIniFile, false};
#else
  return {"System", &OpenIniFile, true};
#endif
}

class IniFileTest : public ::testing::TestWithParam<IniImplementation> {
 protected:
  std::unique_ptr<IniFile> Open() const { return GetParam().open(path_); }
  std::unique_ptr<IniFile> Put(const std::string& contents) const {
    dir_.WriteFile("test.ini", contents);
    return Open();
  }
  std::string FileBytes() const { return dir_.ReadFile("test.ini"); }
  void ExpectFileBytes(const std::string& expected) const {
    if (GetParam().keepsOtherBytes) {
      EXPECT_EQ(FileBytes(), expected);
    }
  }

  TempDir dir_;
  std::string path_ = dir_.File("test.ini");
};

inline std::string IniTestName(const ::testing::TestParamInfo<IniImplementation>& info) {
  return info.param.name;
}

// On Windows both implementations; elsewhere the system's is the portable one.
#ifdef _WIN32
#define DOVA_INI_IMPLEMENTATIONS ::testing::Values(PortableIni(), SystemIni())
#else
#define DOVA_INI_IMPLEMENTATIONS ::testing::Values(PortableIni())
#endif

}  // namespace dova::testing
