#include "text/language_pack.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace dova {
namespace {

using testing::TempDir;

TEST(LanguagePack, LaterFilesReplaceOnlyTheKeysTheyHold) {
  TempDir dir;
  dir.WriteFile("A.ini", "[Other]\r\nstart=ignored\r\n[Phrases]\r\nstart=Start A\r\nquit=Quit A\r\n");
  dir.WriteFile("B.ini", "[Phrases]\r\n start = \"Start B\" \r\nConnectingTo=Capitals\r\n");
  LanguagePack pack;
  pack.LoadPhrases(dir.Path() + "A.ini");
  pack.LoadPhrases(dir.Path() + "B.ini");
  pack.LoadPhrases(dir.Path() + "Missing.ini");  // changes nothing
  EXPECT_EQ(pack.GetPhrase("start"), "Start B");  // blanks and one pair of quotes go
  EXPECT_EQ(pack.GetPhrase("quit"), "Quit A");    // kept from the earlier file
  EXPECT_EQ(pack.GetPhrase("connectingto"), "");  // keys are case-sensitive
  EXPECT_EQ(pack.GetPhrase("absent"), "");
}

TEST(LanguagePack, LongPhrasesAreCutAndManyKeysStopAtTheBlock) {
  TempDir dir;
  std::string text = "[Phrases]\r\nlong=" + std::string(3000, 'x') + "\r\n";
  for (int i = 0; i < 3000; ++i) text += "key" + std::to_string(i) + "=v\r\n";
  dir.WriteFile("Big.ini", text);
  LanguagePack pack;
  pack.LoadPhrases(dir.Path() + "Big.ini");
  EXPECT_EQ(pack.GetPhrase("long"), std::string(2047, 'x'));
  EXPECT_EQ(pack.GetPhrase("key0"), "v");
  // 16,384 bytes of names hold "long" and about 2,000 of the 3,000 short names, not all of them.
  EXPECT_EQ(pack.GetPhrase("key2999"), "");
  EXPECT_GT(pack.Size(), 1500u);
}

}  // namespace
}  // namespace dova
