#include "app/main_form.h"

#include <gtest/gtest.h>

#include "app/start_with_windows.h"
#include "platform/file_system.h"
#include "tests/support/ansi_code_page.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"
#include "tests/support/utf16_file.h"

namespace dova {
namespace {

using testing::TestApp;

// A program directory with the fakes of TestApp; each Run() is one run of the program.
struct ProgramRun : ::testing::Test {
  TestApp app;
  Platform platform() {
    return Platform{app.clock,   app.screen, app.pump,    app.errors, app.text,
                    app.dialogs, app.help,   app.desktop, app.window, app.startup};
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
  for (const char* key : {"Section=",
                          "Resize=",
                          "CurrentWallpaper=",
                          "Language=English",
                          "Filter=",
                          "WorkType=",
                          "InTray=",
                          "UseProxy=",
                          "UseProxyPassword=",
                          "LimitSpeed=",
                          "ProxyServer=",
                          "ProxyPort=",
                          "ProxyLogin=",
                          "ProxyPassword=",
                          "MaximumDowloadFileSize=",
                          "MaximumDowloadSpeed=",
                          "OnLoad=",
                          "OnTime=",
                          "Hours=",
                          "Minutes=",
                          "CursorPosition=",
                          "Path=",
                          "Selecting=",
                          "Changing=",
                          "inaHours=",
                          "inaMinutes=",
                          "PreviousSetWallpaper="})
    EXPECT_NE(ini.find(key), std::string::npos) << key;
  EXPECT_EQ(app.dir.ReadFile("Sites\\dova.lst"), "\t\r\n");  // the empty list

  const std::string log = app.dir.ReadFile("Sites\\dova.log");
  TestApp english;  // the phrases as the program has them
  auto phrase = [&](const char* key) { return english.ctx().Phrase(key); };
  EXPECT_NE(log.find("NOTICE " + phrase("start")), std::string::npos);
  EXPECT_NE(
      log.find(phrase("resolution") + " - 1024x768 (" + phrase("widthandheight") + " - 1.33 )"),
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

// Two changes from the list, then back: from the tray menu, the list page's button and Ctrl+Z;
// the way back survives a restart, and the commands are greyed at its end.
TEST_F(ProgramRun, PreviousPictureGoesBackFromTheMenuTheButtonsAndTheKeyboard) {
  const std::string a = app.dir.Path() + "a.jpg", b = app.dir.Path() + "b.jpg";
  const std::string d = app.dir.Path() + "d.jpg";
  testing::WriteTestJpeg(a, 41, 20);
  testing::WriteTestJpeg(b, 42, 20);
  testing::WriteTestJpeg(d, 43, 20);
  app.dir.WriteFile("Sites\\dova.lst",
                    "41x20\t" + a + "\r\n42x20\t" + b + "\r\n43x20\t" + d + "\r\n");
  app.dir.WriteFile("Sites\\dova.ini",
                    "[Main]\r\nWorkType=offline\r\nSection=1\r\n[OffLine]\r\nOnLoad=0\r\n"
                    "Selecting=line\r\nCursorPosition=0\r\n");
  {
    auto form = Start();
    FormModel& f = form->Form();
    EXPECT_FALSE(f.SpeedButton9.enabled || f.SpeedButton10.enabled);
    EXPECT_FALSE(f.MenuItemNamed("N7")->enabled);
    for (int row : {0, 1, 2}) {
      f.FileGrid.SelectRows(row, row);
      form->ControlClicked("SpeedButton8");
    }
    EXPECT_TRUE(f.SpeedButton9.enabled && f.SpeedButton10.enabled);
    EXPECT_TRUE(f.MenuItemNamed("N7")->enabled);
    EXPECT_EQ(form->Context().CurrentWallpaper, d);
    form->MenuCommand("N7");
    EXPECT_EQ(form->Context().RecentPictures, (std::vector<std::string>{b, a}));
  }
  {
    auto form = Start();
    EXPECT_EQ(form->Context().RecentPictures, (std::vector<std::string>{b, a}));
    EXPECT_TRUE(form->Form().SpeedButton9.enabled && form->Form().MenuItemNamed("N7")->enabled);
    const int changes = app.desktop.calls;
    form->FormKeyDown('Z', ShiftState{false, true, false});
    EXPECT_EQ(app.desktop.calls, changes + 1);
    EXPECT_EQ(form->Context().RecentPictures, (std::vector<std::string>{a}));
    EXPECT_FALSE(form->Form().SpeedButton9.enabled || form->Form().MenuItemNamed("N7")->enabled);
    form->ControlClicked("SpeedButton9");  // nothing left: nothing happens
    EXPECT_EQ(app.desktop.calls, changes + 1);
    EXPECT_TRUE(app.errors.shown.empty());
  }
  // The change at start-up gives the buttons a step back at once.
  app.dir.WriteFile("Sites\\dova.ini", "[Main]\r\nWorkType=offline\r\nRecent1=" + a +
                                           "\r\n[OffLine]\r\nOnLoad=1\r\nSelecting=line\r\n"
                                           "CursorPosition=0\r\n");
  auto form = Start();
  EXPECT_EQ(form->Context().RecentPictures, (std::vector<std::string>{b, a}));
  EXPECT_TRUE(form->Form().SpeedButton9.enabled && form->Form().SpeedButton10.enabled);
}

// The fit colour comes from the system's colour dialog: the box takes the colour the user
// picks, keeps its colour when the user cancels, and the colour is saved at exit.
TEST_F(ProgramRun, TheFitColourComesFromTheColourDialog) {
  app.dir.WriteFile("Sites\\dova.ini",
                    "[Main]\r\nResize=dova\r\nProportions=fit\r\n"
                    "[OnLine]\r\nOnLoad=0\r\n");
  {
    auto form = Start();
    EXPECT_TRUE(form->Form().RadioButton12.checked);
    EXPECT_TRUE(form->Form().ColorButton1.enabled);
    app.dialogs.colorChosen = true;
    app.dialogs.color = 0x336699;
    form->ControlClicked("ColorButton1");
    EXPECT_EQ(form->Form().ColorButton1.color, 0x336699u);
    app.dialogs.colorChosen = false;
    app.dialogs.color = 0xFFFFFF;
    form->ControlClicked("ColorButton1");
    EXPECT_EQ(form->Form().ColorButton1.color, 0x336699u);
    EXPECT_EQ(app.dialogs.colorDialogs, 2);
  }
  EXPECT_NE(Ini().find("FitColor=#336699\r\n"), std::string::npos);
  EXPECT_NE(Ini().find("Proportions=fit\r\n"), std::string::npos);
}

TEST_F(ProgramRun, TheStartWithWindowsBoxShowsAndChangesTheUsersStartupEntry) {
  app.dir.WriteFile("Sites\\dova.ini", "[OnLine]\r\nOnLoad=0\r\n");
  const std::string exe = app.dir.Path() + "Dova.exe";
  std::map<std::string, std::string>& commands = app.startup.commands;
  auto form = Start();
  CheckBox& box = form->Form().CheckBox8;
  EXPECT_FALSE(box.checked);
  EXPECT_EQ(box.parent, "GroupBox8");  // on the Options page, with the general options

  box.checked = true;  // the user's click, as the window hands it on
  form->ControlClicked("CheckBox8");
  EXPECT_EQ(commands[kStartupEntryName], "\"" + exe + "\" minimized");
  EXPECT_TRUE(box.checked);
  box.checked = false;
  form->ControlClicked("CheckBox8");
  EXPECT_EQ(commands.count(kStartupEntryName), 0u);

  // The entry is the truth: what the user did elsewhere shows when the window is opened.
  commands[kStartupEntryName] = StartupCommand(exe);
  form->MenuCommand("N3");
  EXPECT_TRUE(box.checked);
  form.reset();
  EXPECT_EQ(Ini().find("Windows"), std::string::npos);  // nothing of it in dova.ini

  // Turned off in the Task Manager: shown off; checking it turns it on there too.
  app.startup.switches[kStartupEntryName] = std::string("\x03\0\0\0\0\0\0\0\x01\x02\x03\x04", 12);
  form = Start();
  EXPECT_FALSE(form->Form().CheckBox8.checked);
  form->Form().CheckBox8.checked = true;
  form->ControlClicked("CheckBox8");
  EXPECT_EQ(app.startup.switches[kStartupEntryName][0], '\x02');
  EXPECT_TRUE(StartsWithWindows(app.startup, exe));
  form.reset();

  // A copy elsewhere owns the entry: shown off here.
  commands[kStartupEntryName] = StartupCommand("D:\\Old\\Dova.exe");
  EXPECT_FALSE(Start()->Form().CheckBox8.checked);

  // A system that refuses: the error box, and the box shows what the system kept.
  app.startup.refuseWrites = true;
  form = Start();
  form->Form().CheckBox8.checked = true;
  form->ControlClicked("CheckBox8");
  ASSERT_EQ(app.errors.shown.size(), 1u);
  EXPECT_NE(app.errors.shown[0].find("Dova Wallpaper Changer"), std::string::npos);
  EXPECT_FALSE(form->Form().CheckBox8.checked);
}

// dova.ini and dova.lst of an earlier version on a Russian system, in Windows-1251.
TEST_F(ProgramRun, FilesOfEarlierVersionsLoadAsBeforeAndAreWrittenBackAsTheyWere) {
  testing::ScopedAnsiCodePage russianSystem(1251);
  if (!russianSystem.Active()) GTEST_SKIP() << "needs a system with the Cyrillic code page";
  const std::string sea =
      "C:\\\xCA\xE0\xF0\xF2\xE8\xED\xEA\xE8\\\xEC\xEE\xF0\xE5.jpg";  // C:\Картинки\море.jpg
  const std::string list = "800x600\t" + sea + "\r\n\tC:\\plain.jpg\r\n";
  app.dir.WriteFile("Sites\\dova.lst", list);
  app.dir.WriteFile("Sites\\dova.ini", "[Main]\r\nWorkType=offline\r\nCurrentWallpaper=" + sea +
                                           "\r\n[OnLine]\r\nOnLoad=0\r\nProxyLogin=\xC0\xED\xFF\r\n"
                                           "[OffLine]\r\nOnLoad=0\r\n");
  {
    auto form = Start();
    EXPECT_EQ(form->Form().FileGrid.rows[0][0], "море.jpg");
    EXPECT_EQ(form->Form().FileGrid.rows[0][2], "C:\\Картинки\\море.jpg");
    EXPECT_EQ(form->Context().CurrentWallpaper, "C:\\Картинки\\море.jpg");
    EXPECT_EQ(form->Form().Edit3.text, "Аня");
  }
  EXPECT_EQ(app.dir.ReadFile("Sites\\dova.lst"), list);
  const std::string ini = Ini();
  EXPECT_NE(ini.find("CurrentWallpaper=" + sea + "\r\n"), std::string::npos);
  EXPECT_NE(ini.find("ProxyLogin=\xC0\xED\xFF\r\n"), std::string::npos);
  EXPECT_NE(ini.compare(0, 3, "\xEF\xBB\xBF"), 0);
}

// dova.ini saved as "Unicode" in Notepad, which Windows' own profile functions read: every key
// is read, and the file is written back as the program writes it, in UTF-8 with the mark while
// its text fits no code page, else in the code page.
TEST_F(ProgramRun, ASettingsFileSavedAsUtf16IsReadAndWrittenBackAsTheProgramWritesIt) {
  app.dir.WriteFile("Sites\\dova.ini",
                    testing::Utf16FileBytes(u"[Main]\r\nWorkType=offline\r\n"
                                            u"CurrentWallpaper=C:\\Картинки\\山水画😀.jpg\r\n"
                                            u"[OnLine]\r\nOnLoad=0\r\nProxyServer=proxy.lan\r\n"
                                            u"[OffLine]\r\nOnLoad=0\r\nSelecting=line\r\n"));
  {
    auto form = Start();
    EXPECT_TRUE(form->Form().RadioButton10.checked);
    EXPECT_TRUE(form->Form().RadioButton4.checked);
    EXPECT_EQ(form->Form().Edit1.text, "proxy.lan");
    EXPECT_EQ(form->Context().CurrentWallpaper, "C:\\Картинки\\山水画😀.jpg");
  }
  std::string ini = Ini();
  EXPECT_EQ(ini.substr(0, 11), "\xEF\xBB\xBF[Main]\r\n");
  EXPECT_NE(ini.find("CurrentWallpaper=C:\\Картинки\\山水画😀.jpg\r\n"), std::string::npos);
  EXPECT_NE(ini.find("ProxyServer=proxy.lan\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Selecting=line\r\n"), std::string::npos);

  app.dir.WriteFile("Sites\\dova.ini", testing::Utf16FileBytes(
                                           u"[Main]\r\nWorkType=offline\r\n[OnLine]\r\nOnLoad=0\r\n"
                                           u"[OffLine]\r\nOnLoad=0\r\n",
                                           true));
  {
    auto form = Start();
    EXPECT_TRUE(form->Form().RadioButton10.checked);
  }
  ini = Ini();
  EXPECT_EQ(ini.substr(0, 26), "[Main]\r\nWorkType=offline\r\n");
}

// A picture in a folder named in Cyrillic, itself named in Chinese letters and an emoji, on a
// Western system: added, installed, and the same bytes after a save and a load.
TEST_F(ProgramRun, APictureNamedBeyondTheCodePageIsAddedInstalledAndKeptExactly) {
  testing::ScopedAnsiCodePage westernSystem(1252);
  if (!westernSystem.Active()) GTEST_SKIP() << "needs a system with the Western code page";
  ASSERT_TRUE(CreateDirectoryPath(app.dir.Path() + "Картинки"));
  const std::string picture = app.dir.Path() + "Картинки\\山水画😀.jpg";
  testing::WriteTestJpeg(picture, 64, 48);
  app.dir.WriteFile("Sites\\dova.ini",
                    "[Main]\r\nWorkType=offline\r\nSection=1\r\n[OffLine]\r\nOnLoad=0\r\n");
  {
    auto form = Start();
    app.dialogs.files = {picture};
    form->ControlClicked("SpeedButton1");
    ASSERT_EQ(form->Form().FileGrid.rows[0][0], "山水画😀.jpg");
    EXPECT_EQ(form->Form().FileGrid.rows[0][1], "64x48");
    form->ControlClicked("SpeedButton8");
    EXPECT_TRUE(app.errors.shown.empty());
    EXPECT_EQ(app.desktop.wallpaper, app.ctx().DataDir + "wallpaper1.bmp");
    EXPECT_EQ(form->Context().CurrentWallpaper, picture);
    EXPECT_GT(FileSize(app.ctx().DataDir + "wallpaper1.bmp"), 64 * 48 * 3);
  }
  const std::string list = app.dir.ReadFile("Sites\\dova.lst");
  EXPECT_EQ(list,
            "\xEF\xBB\xBF"
            "64x48\t" +
                picture + "\r\n");
  EXPECT_EQ(Ini().compare(0, 3, "\xEF\xBB\xBF"), 0);
  {
    auto form = Start();
    EXPECT_EQ(form->Form().FileGrid.rows[0][2], picture);
    EXPECT_EQ(form->Context().CurrentWallpaper, picture);
  }
  EXPECT_EQ(app.dir.ReadFile("Sites\\dova.lst"), list);
  const std::string log = app.dir.ReadFile("Sites\\dova.log~");
  EXPECT_EQ(log.compare(0, 3, "\xEF\xBB\xBF"), 0);
  EXPECT_NE(log.find(picture), std::string::npos);
}

}  // namespace
}  // namespace dova
