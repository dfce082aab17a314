#include "text/language_pack.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"
#include "text/text_binding.h"

namespace dova {
namespace {

using testing::TempDir;
using testing::TestApp;

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

TEST(TextBinding, CaptionsHintsGroupsMenuLabelsAndHelpFile) {
  TestApp app;
  AppContext& c = app.ctx();
  app.dir.WriteFile("Languages\\T.ini",
                    "[Phrases]\r\nchanels=Channels\r\nlanguage=Language\r\naddfiles=Add\r\n"
                    "quit=Quit\r\nimagesize_filter=Filter:\r\nhelpfile=Default\r\n");
  c.phrases = LanguagePack();
  c.phrases.LoadPhrases(c.LanguagesDir + "T.ini");
  UpdateLanguage(c);
  FormModel& f = c.form;
  EXPECT_EQ(f.GroupBox4.caption, " Channels ");
  EXPECT_EQ(f.GroupBox1.caption, "  ");  // a missing phrase leaves the two blanks
  EXPECT_EQ(f.TabSheet1.caption, "");
  EXPECT_EQ(f.SpeedButton1.hint, "Add");
  EXPECT_EQ(f.MenuItemNamed("N6")->caption, "Quit");
  EXPECT_EQ(f.Label16.caption, "Language:");
  EXPECT_EQ(f.Label16.left + f.Label16.width + 6, f.ComboBox10.left);
  EXPECT_EQ(f.Label9.left + app.text.TextWidth("Filter:") + 6, f.ComboBox5.left);
  EXPECT_EQ(c.HelpFile, c.LanguagesDir + "Default");  // only "default" means the default

  c.phrases.LoadPhrases(c.LanguagesDir + "English.ini");
  UpdateLanguage(c);
  UpdateLanguage(c);  // twice in a row: still 6 pixels left of their lists
  EXPECT_EQ(f.Label16.left + app.text.TextWidth(f.Label16.caption) + 6, f.ComboBox10.left);
  EXPECT_EQ(f.Label9.left + app.text.TextWidth(f.Label9.caption) + 6, f.ComboBox5.left);
  EXPECT_EQ(c.HelpFile, c.DefaultHelpFile);
  EXPECT_EQ(f.GroupBox4.caption, " " + c.Phrase("chanels") + " ");
}

}  // namespace
}  // namespace dova
