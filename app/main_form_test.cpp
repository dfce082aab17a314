#include "app/main_form.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/test_app.h"

namespace dova {
namespace {

using testing::TestApp;

// A program directory with the fakes of TestApp; each Run() is one run of the program.
struct ProgramRun : ::testing::Test {
  TestApp app;
  Platform platform() {
    return Platform{app.clock, app.screen,  app.pump,    app.errors, app.text,
                    app.dialogs, app.help, app.desktop, app.window};
  }
  std::unique_ptr<TForm1> Start(const std::string& args = "") {
    auto form = std::make_unique<TForm1>(platform(), app.dir.Path() + "Dova.exe", args);
    form->FormCreate();
    return form;
  }
  std::string Ini() { return app.dir.ReadFile("Sites\\dova.ini"); }
};

TEST_F(ProgramRun, FreshStartInFromListModeThenNormalExitWritesEveryKeyAndTheJournal) {
  app.dir.WriteFile("Sites\\dova.ini", "[Main]\r\nWorkType=offline\r\n");
  {
    auto form = Start();
    EXPECT_TRUE(form->Form().TabSheet2.highlighted);
    EXPECT_FALSE(form->ShowAtStart());  // start minimized is on by default
    EXPECT_EQ(form->Form().ComboBox10.Text(), "English");
    EXPECT_EQ(form->Form().TabSheet1.caption, form->Context().Phrase("pictureoftheday"));
    EXPECT_FALSE(form->Form().TabSheet1.caption.empty());
    EXPECT_TRUE(app.errors.shown.empty());
  }
  const std::string ini = Ini();
  for (const char* key :
       {"Section=", "Resize=", "CurrentWallpaper=", "Language=English", "Filter=", "WorkType=",
        "InTray=", "UseProxy=", "UseProxyPassword=", "LimitSpeed=", "ProxyServer=", "ProxyPort=",
        "ProxyLogin=", "ProxyPassword=", "MaximumDowloadFileSize=", "MaximumDowloadSpeed=",
        "OnLoad=", "OnTime=", "Hours=", "Minutes=", "CursorPosition=", "Path=", "Selecting=",
        "Changing=", "inaHours=", "inaMinutes=", "PreviousSetWallpaper="})
    EXPECT_NE(ini.find(key), std::string::npos) << key;
  EXPECT_EQ(app.dir.ReadFile("Sites\\dova.lst"), "\t\r\n");  // the empty list

  const std::string log = app.dir.ReadFile("Sites\\dova.log");
  TestApp english;  // the phrases as the program has them
  auto phrase = [&](const char* key) { return english.ctx().Phrase(key); };
  EXPECT_NE(log.find("NOTICE " + phrase("start")), std::string::npos);
  EXPECT_NE(log.find(phrase("resolution") + " - 1024x768 (" + phrase("widthandheight") +
                     " - 1.33 )"),
            std::string::npos);
  EXPECT_NE(log.find(phrase("language") + " " + app.ctx().LanguagesDir + "English"),
            std::string::npos);
  EXPECT_LT(log.find(phrase("start")), log.find("NOTICE " + phrase("finish")));

  Start().reset();  // a second run keeps the first run's journal
  EXPECT_EQ(app.dir.ReadFile("Sites\\dova.log~"), log);
}

TEST_F(ProgramRun, TheWordMinimizedKeepsTheWindowHiddenOtherWordsLetItShow) {
  app.dir.WriteFile("Sites\\dova.ini", "[Main]\r\nInTray=0\r\n[OnLine]\r\nOnLoad=0\r\n");
  EXPECT_FALSE(Start("minimized")->ShowAtStart());
  EXPECT_FALSE(Start("  minimized\t")->ShowAtStart());
  EXPECT_TRUE(Start("Minimized")->ShowAtStart());
  EXPECT_TRUE(Start("-minimized")->ShowAtStart());
  EXPECT_TRUE(Start("/minimized")->ShowAtStart());
  EXPECT_TRUE(Start("minimized now")->ShowAtStart());
  EXPECT_TRUE(Start("")->ShowAtStart());
  app.dir.WriteFile("Sites\\dova.ini", "[Main]\r\nInTray=1\r\n[OnLine]\r\nOnLoad=0\r\n");
  EXPECT_FALSE(Start("")->ShowAtStart());
}

TEST_F(ProgramRun, ABrokenValueIsShownAndNothingTheUserStoredIsLost) {
  app.dir.WriteFile("Sites\\dova.ini",
                    "[Main]\r\nFilter=fast\r\nWorkType=offline\r\nLanguage=English\r\n"
                    "[OnLine]\r\nProxyServer=proxy.lan\r\nProxyPort=3128\r\n"
                    "[OffLine]\r\ninaMinutes=05\r\nSelecting=line\r\n");
  Start().reset();
  ASSERT_EQ(app.errors.shown.size(), 1u);
  EXPECT_EQ(app.errors.shown[0], "'fast' is not a valid integer value");
  const std::string ini = Ini();
  EXPECT_NE(ini.find("Filter=fast"), std::string::npos);
  EXPECT_NE(ini.find("ProxyServer=proxy.lan"), std::string::npos);
  EXPECT_NE(ini.find("ProxyPort=3128"), std::string::npos);
  EXPECT_NE(ini.find("inaMinutes=5"), std::string::npos);  // "05" is index 5
  EXPECT_NE(ini.find("Selecting=line"), std::string::npos);
  EXPECT_NE(ini.find("WorkType=offline"), std::string::npos);
}

TEST_F(ProgramRun, GarbageAndMissingFilesGiveDefaultsWithoutErrors) {
  app.dir.WriteFile("Sites\\dova.ini", std::string("\x01\xff[Main\r\n\0\0garbage=\r\n", 22) +
                                           std::string(5000, 'z') + "\r\n[Main]\r\nInTray=0\r\n");
  RemoveFile(app.ctx().LanguagesDir + "English.ini");  // no language at all
  auto form = Start();
  EXPECT_TRUE(app.errors.shown.empty());
  EXPECT_FALSE(form->Form().CheckBox3.checked);
  EXPECT_EQ(form->Form().GroupBox4.caption, "  ");
  EXPECT_EQ(form->Form().Label16.caption, ":");
}

TEST_F(ProgramRun, MenuAndTrayCommands) {
  app.dir.WriteFile("Sites\\dova.ini", "[Main]\r\nWorkType=offline\r\n[OffLine]\r\nOnLoad=0\r\n");
  auto form = Start();
  form->TrayIcon1MouseUp(MouseButton::Right);
  EXPECT_EQ(app.window.opened, 0);  // the right button opens the menu, never the window
  form->TrayIcon1MouseUp(MouseButton::Left);
  form->TrayIcon1MouseUp(MouseButton::Middle);
  form->MenuCommand("N3");
  EXPECT_EQ(app.window.opened, 3);
  form->ControlClicked("Image1");
  ASSERT_EQ(app.desktop.openedUrls.size(), 1u);
  EXPECT_NE(app.desktop.openedUrls[0].find("ref=wallpaper_changer"), std::string::npos);
  form->MenuCommand("N6");
  EXPECT_TRUE(app.pump.terminated);
  EXPECT_FALSE(form->Context().WindowClosed);
  form->FormClose();
  EXPECT_TRUE(form->Context().WindowClosed);
}

}  // namespace
}  // namespace dova
