// On Windows: the portable reader and writer against the system's private-profile functions on
// many generated files, read by every name they use and written in turn.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "tests/support/temp_dir.h"

namespace dova::testing {
namespace {

// No "[]" header: Wine's writer drops it when it rewrites the file, joining that section to the
// keys before the first header.
const std::vector<std::string> kLines = {
    "[A]", "[a]", "[ B ]", "[C] junk", "[D", "[\xc9]", "x=1", " X = 2 ", "y=\"q\"",
    "y='s'", "z=", ";c=3", "noeq", "", "   ", "\t", "k=v w", "\xc9=hi", "w==x", "x = \"a b\" ",
    "k=\"", "z=  spaced value  "};
const std::vector<std::string> kEnds = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
const std::vector<std::string> kSections = {"A", "a", "B", "C", "D", "", "\xc9", "none"};
const std::vector<std::string> kKeys = {"x", "X", "y", "z", ";c", "noeq", "k", "\xc9", "w"};
const std::vector<std::string> kValues = {"1", "", "two words", "\"quoted\"", "C:\\Dova\\"};

std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      out += code;
    }
  }
  return out;
}

void ExpectSameReads(IniFile& system, IniFile& portable, const std::string& context) {
  for (const std::string& section : kSections) {
    for (const std::string& key : kKeys)
      EXPECT_EQ(system.ReadString(section, key, "default"),
                portable.ReadString(section, key, "default"))
          << context << " [" << section << "] " << key;
    for (std::size_t block : {3, 16384})
      EXPECT_EQ(system.ReadKeyNames(section, block), portable.ReadKeyNames(section, block))
          << context << " [" << section << "] block " << block;
  }
}

// Each system read costs milliseconds under Wine, so the sweep is short by default;
// DOVA_INI_AGREEMENT_FILES and DOVA_INI_AGREEMENT_SEED run longer or other ones.
int EnvironmentNumber(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::atoi(text) : fallback;
}

TEST(IniAgreement, PortableAndSystemReadAndWriteAlike) {
  TempDir dir;
  std::mt19937 random(static_cast<unsigned>(EnvironmentNumber("DOVA_INI_AGREEMENT_SEED", 20261208)));
  const int files = EnvironmentNumber("DOVA_INI_AGREEMENT_FILES", 25);
  auto pick = [&random](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  for (int file = 0; file < files; ++file) {
    std::string text;
    const int lines = std::uniform_int_distribution<int>(0, 14)(random);
    for (int i = 0; i < lines; ++i) text += pick(kLines) + pick(kEnds);
    if (random() % 4 == 0 && !text.empty()) text.pop_back();  // no final line end
    dir.WriteFile("system.ini", text);
    dir.WriteFile("portable.ini", text);
    auto system = OpenIniFile(dir.File("system.ini"));
    auto portable = OpenPortableIniFile(dir.File("portable.ini"));
    ExpectSameReads(*system, *portable, "file " + std::to_string(file));
    for (int write = 0; write < 2; ++write) {
      std::string section = pick(kSections);
      if (section.empty()) section = "E";
      const std::string key = pick(kKeys), value = pick(kValues);
      ASSERT_TRUE(system->WriteString(section, key, value));
      ASSERT_TRUE(portable->WriteString(section, key, value));
      ExpectSameReads(*system, *portable,
                      "file " + std::to_string(file) + " after [" + section + "] " + key);
    }
    if (HasFailure()) {
      ADD_FAILURE() << "first differing file: " << Escaped(text);
      return;
    }
  }
}

}  // namespace
}  // namespace dova::testing

#endif  // _WIN32
