#include "form/text_binding.h"

#include <gtest/gtest.h>

#include "tests/support/test_app.h"

namespace dova {
namespace {

using testing::TestApp;

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
