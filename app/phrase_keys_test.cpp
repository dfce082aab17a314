// Every phrase key the program looks up must be in English.ini, the base language: a key that
// is missing there would show an empty caption or log line in every language.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "tests/support/fake_platform.h"
#include "text/language_pack.h"

namespace dova {
namespace {

std::set<std::string> KeysLookedUpInSources() {
  // Phrase("key") and the binding's phrase("key") / group("key").
  const std::regex call(R"re((?:Phrase|phrase|group)\("([a-z0-9_]+)"\))re");
  std::set<std::string> keys;
  for (const char* dir : {"app", "app\\win32", "form", "text", "online", "picturelist", "wallpaper"}) {
    const std::string base = testing::CorePath(DOVA_SOURCE_DIR "/") + dir + "\\";
    for (const DirEntry& entry : ListDirectory(base + "*.cpp")) {
      if (entry.name.find("_test.cpp") != std::string::npos) continue;
      std::string source;
      ReadWholeFile(base + entry.name, source);
      for (std::sregex_iterator m(source.begin(), source.end(), call), end; m != end; ++m)
        keys.insert((*m)[1]);
    }
  }
  return keys;
}

TEST(PhraseKeys, EveryKeyTheProgramLooksUpIsInEnglish) {
  const std::set<std::string> keys = KeysLookedUpInSources();
  ASSERT_GE(keys.size(), 60u);  // the sources were found and read
  LanguagePack english;
  english.LoadPhrases(testing::CorePath(DOVA_SOURCE_DIR "/Languages/English.ini"));
  for (const std::string& key : keys) EXPECT_NE(english.GetPhrase(key), "") << key;
}

}  // namespace
}  // namespace dova
