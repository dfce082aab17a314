#include "form/settings_store.h"

#include <gtest/gtest.h>

#include "form/screens_setting.h"
#include "platform/file_system.h"
#include "tests/support/test_app.h"

namespace dova {
namespace {

using testing::TestApp;

struct SettingsFixture : ::testing::Test {
  TestApp app;
  std::string iniPath() { return app.ctx().DataDir + "dova.ini"; }
  std::vector<std::string> LoadFrom(const std::string& contents, SettingsStore& store) {
    app.dir.WriteFile("Sites\\dova.ini", contents);
    auto ini = OpenIniFile(iniPath());
    return store.Load(*ini, app.ctx());
  }
  std::string SaveAndRead(SettingsStore& store) {
    auto ini = OpenIniFile(iniPath());
    EXPECT_TRUE(store.Save(*ini, app.ctx()).empty());
    return app.dir.ReadFile("Sites\\dova.ini");
  }
};

TEST_F(SettingsFixture, OnlyWorkTypeOfflineGivesFromListModeWithEveryDefault) {
  SettingsStore store;
  EXPECT_TRUE(LoadFrom("[Main]\r\nWorkType=offline\r\n", store).empty());
  const FormModel& f = app.ctx().form;
  EXPECT_TRUE(f.RadioButton10.checked);
  EXPECT_FALSE(f.RadioButton9.checked);
  EXPECT_TRUE(f.TabSheet2.highlighted);
  EXPECT_FALSE(f.TabSheet1.highlighted);
  EXPECT_TRUE(f.CheckBox1.checked && f.CheckBox7.checked);
  EXPECT_EQ(f.ComboBox1.Text() + ":" + f.ComboBox2.Text(), "14:00");
  EXPECT_EQ(f.ComboBox6.Text() + ":" + f.ComboBox7.Text(), "13:00");
  EXPECT_EQ(f.ComboBox8.Text() + ":" + f.ComboBox9.Text(), "00:20");
  EXPECT_TRUE(f.RadioButton5.checked);  // random
  EXPECT_TRUE(f.RadioButton7.checked);  // period
  EXPECT_TRUE(f.CheckBox4.checked && f.CheckBox5.checked && f.CheckBox6.checked);
  EXPECT_EQ(f.Edit1.text, "");
  EXPECT_EQ(f.Edit2.text, "");  // the stored (missing) value replaces the design "8080"
  EXPECT_EQ(f.ComboBox3.Text(), "5000");
  EXPECT_EQ(f.ComboBox4.Text(), "10");
  EXPECT_EQ(f.ComboBox5.Text(), "Mitchell");
  EXPECT_TRUE(f.RadioButton1.checked);
  EXPECT_TRUE(f.CheckBox3.checked);
  EXPECT_EQ(app.ctx().PreviousSetWallpaper, 0.0);
}

TEST_F(SettingsFixture, SaveWritesEveryKeyInOrderAndReadsBackTheSame) {
  SettingsStore store;
  LoadFrom("[Main]\r\nWorkType=offline\r\nKeepMe=yes\r\n", store);
  app.ctx().PreviousSetWallpaper = 46364.5;
  app.ctx().CurrentWallpaper = "C:\\Pictures\\sea.jpg";
  app.ctx().CurrentCaption = "Sea at noon \xE2\x80\x94 A. Photographer";
  EXPECT_EQ(ScreensModeOf(app.ctx().form), ScreensMode::Same);  // the default
  ShowScreensMode(app.ctx().form, ScreensMode::Span);
  const std::string text = SaveAndRead(store);
  const char* keys[] = {"Section=0",
                        "Resize=windows",
                        "CurrentWallpaper=C:\\Pictures\\sea.jpg",
                        "Language=",
                        "Filter=6",
                        "Monitors=span",
                        "WorkType=offline",
                        "InTray=1",
                        "UseProxy=1",
                        "UseProxyPassword=1",
                        "LimitSpeed=1",
                        "ProxyServer=",
                        "ProxyPort=",
                        "ProxyLogin=",
                        "ProxyPassword=",
                        "MaximumDowloadFileSize=12",
                        "MaximumDowloadSpeed=4",
                        "OnLoad=1",
                        "OnTime=1",
                        "Hours=13",
                        "Minutes=0",
                        "CursorPosition=0",
                        "Path=",
                        "Selecting=random",
                        "Changing=period",
                        "inaHours=0",
                        "inaMinutes=20",
                        "PreviousSetWallpaper=46364.5",
                        "KeepMe=yes"};
  for (const char* key : keys) EXPECT_NE(text.find(key), std::string::npos) << key;
  // Write order inside [OnLine] and the section forms.
  EXPECT_LT(text.find("UseProxy=1"), text.find("ProxyServer="));
  EXPECT_LT(text.find("[OnLine]"), text.find("[OffLine]"));
  EXPECT_EQ(text.find("[Offline]"), std::string::npos);  // same section as [OffLine]

  TestApp second;
  second.dir.WriteFile("Sites\\dova.ini", text);
  SettingsStore again;
  auto ini = OpenIniFile(second.ctx().DataDir + "dova.ini");
  again.Load(*ini, second.ctx());
  EXPECT_TRUE(second.ctx().form.RadioButton10.checked);
  EXPECT_EQ(second.ctx().PreviousSetWallpaper, 46364.5);
  EXPECT_EQ(second.ctx().CurrentWallpaper, "C:\\Pictures\\sea.jpg");
  EXPECT_EQ(second.ctx().CurrentCaption, "Sea at noon \xE2\x80\x94 A. Photographer");
  EXPECT_EQ(ScreensModeOf(second.ctx().form), ScreensMode::Span);
}

TEST_F(SettingsFixture, WordChoicesAndIndexesFollowTheirRules) {
  SettingsStore store;
  LoadFrom(
      "[Main]\r\nSection=7\r\nResize=Windows\r\nWorkType=Online\r\n"
      "[offline]\r\nHours=30\r\nChanging=Period\r\nSelecting=line\r\nCursorPosition=0x10\r\n"
      "PreviousSetWallpaper=46364,5\r\n",
      store);
  const FormModel& f = app.ctx().form;
  EXPECT_EQ(f.activePage, 1);  // a page number outside 0..3 shows the second page
  EXPECT_FALSE(f.RadioButton1.checked || f.RadioButton2.checked || f.RadioButton3.checked);
  EXPECT_TRUE(f.RadioButton10.checked);  // compared case-sensitively
  EXPECT_EQ(f.ComboBox6.itemIndex, -1);  // hour 30 is past the list
  EXPECT_TRUE(f.RadioButton6.checked);   // "Period" is not "period"
  EXPECT_TRUE(f.RadioButton4.checked);
  EXPECT_EQ(store.CursorPosition(), 16);
  EXPECT_EQ(app.ctx().PreviousSetWallpaper, 0.0);  // another decimal separator does not convert

  const std::string text = SaveAndRead(store);
  EXPECT_NE(text.find("Resize=Windows"), std::string::npos);  // left as it was: none checked
  EXPECT_NE(text.find("Hours=-1"), std::string::npos);
}

TEST_F(SettingsFixture, AnUnreadableNumberIsReportedTheRestIsReadAndItsTextIsKept) {
  SettingsStore store;
  const auto errors = LoadFrom(
      "[Main]\r\nFilter=\r\nInTray=0\r\n[OnLine]\r\nMinutes=abc\r\nProxyServer=proxy.lan\r\n"
      "[OffLine]\r\ninaMinutes=05\r\n",
      store);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "'' is not a valid integer value");
  EXPECT_EQ(errors[1], "'abc' is not a valid integer value");
  const FormModel& f = app.ctx().form;
  EXPECT_FALSE(f.CheckBox3.checked);     // read after the broken Filter
  EXPECT_EQ(f.Edit1.text, "proxy.lan");  // read after the broken Minutes
  EXPECT_EQ(f.ComboBox9.Text(), "05");
  const std::string text = SaveAndRead(store);
  EXPECT_NE(text.find("Filter=\r\n"), std::string::npos);
  EXPECT_NE(text.find("Minutes=abc"), std::string::npos);
  EXPECT_EQ(text.find("Filter=-1"), std::string::npos);
}

TEST_F(SettingsFixture, ARefusedWriteIsReportedOnce) {
  SettingsStore store;
  app.ctx().DataDir = app.ctx().ProgramDir + "Missing\\";
  auto ini = OpenIniFile(app.ctx().DataDir + "dova.ini");
  store.Load(*ini, app.ctx());
  const auto errors = store.Save(*ini, app.ctx());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Unable to write to " + app.ctx().DataDir + "dova.ini");
}

TEST_F(SettingsFixture, FillAndFitAreTheProgramsResizingWithTheirProportionsAndColour) {
  struct Stored {
    const char* text;
    RadioButton FormModel::*checked;
  };
  // Files of earlier versions know no Proportions; a Proportions word refines only "dova".
  const Stored stored[] = {
      {"[Main]\r\nResize=dova\r\n", &FormModel::RadioButton2},
      {"[Main]\r\nResize=dova\r\nProportions=fill\r\n", &FormModel::RadioButton11},
      {"[Main]\r\nResize=dova\r\nProportions=fit\r\n", &FormModel::RadioButton12},
      {"[Main]\r\nResize=dova\r\nProportions=Fit\r\n", &FormModel::RadioButton2},
      {"[Main]\r\nResize=windows\r\nProportions=fill\r\n", &FormModel::RadioButton1},
      {"[Main]\r\nResize=none\r\nProportions=fit\r\n", &FormModel::RadioButton3},
  };
  for (const Stored& s : stored) {
    SettingsStore store;
    LoadFrom(s.text, store);
    FormModel& f = app.ctx().form;
    for (RadioButton* b : f.RadioGroup("GroupBox3"))
      EXPECT_EQ(b->checked, b == &(f.*s.checked)) << s.text << b->name;
    EXPECT_EQ(f.ColorButton1.color, 0x000000u);  // black unless the file says otherwise
  }

  // Fill and Fit store "dova", which an earlier version reads as its stretch, and say which.
  SettingsStore store;
  LoadFrom("[Main]\r\nResize=dova\r\nProportions=fit\r\nFitColor=#1a2B3c\r\n", store);
  FormModel& f = app.ctx().form;
  EXPECT_EQ(f.ColorButton1.color, 0x1A2B3Cu);
  f.Check(f.RadioButton11);
  f.ColorButton1.color = 0xFF8000;
  std::string text = SaveAndRead(store);
  EXPECT_NE(text.find("Resize=dova\r\n"), std::string::npos);
  EXPECT_NE(text.find("Proportions=fill\r\n"), std::string::npos);
  EXPECT_NE(text.find("FitColor=#FF8000\r\n"), std::string::npos);
  // Back to Windows: the Proportions word stays as it was, for nothing reads it then.
  f.Check(f.RadioButton1);
  text = SaveAndRead(store);
  EXPECT_NE(text.find("Resize=windows\r\n"), std::string::npos);
  EXPECT_NE(text.find("Proportions=fill\r\n"), std::string::npos);

  // A colour that is not "#RRGGBB" is black.
  for (const char* colour : {"red", "#12345", "#1234567", "#12G456", "123456"}) {
    SettingsStore other;
    app.ctx().form.ColorButton1.color = 0x777777;
    LoadFrom(std::string("[Main]\r\nFitColor=") + colour + "\r\n", other);
    EXPECT_EQ(app.ctx().form.ColorButton1.color, 0u) << colour;
  }
}

TEST_F(SettingsFixture, RecentPicturesAreKeptInOrderUpToTheFirstGap) {
  SettingsStore store;
  LoadFrom("[Main]\r\nRecent1=C:\\b.jpg\r\nRecent2=C:\\a.png\r\nRecent3=\r\nRecent4=C:\\x.jpg\r\n",
           store);
  EXPECT_EQ(app.ctx().RecentPictures, (std::vector<std::string>{"C:\\b.jpg", "C:\\a.png"}));
  app.ctx().RecentPictures.insert(app.ctx().RecentPictures.begin(), "C:\\c.bmp");
  const std::string text = SaveAndRead(store);
  for (const char* line : {"Recent1=C:\\c.bmp\r\n", "Recent2=C:\\b.jpg\r\n",
                           "Recent3=C:\\a.png\r\n", "\nRecent4=\r\n", "\nRecent5=\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

}  // namespace
}  // namespace dova
