#include "picturelist/picture_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/picture_list_fixture.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/ansi_code_page.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace dova {
namespace {

// --- the list file ---------------------------------------------------------------------------

TEST_F(PictureListTest, LoadReadsRowsTrimsFieldsDerivesNamesAndSkipsLinesWithoutTab) {
  WriteListFile(
      "1024x768\tC:\\Pictures\\sea.jpg\r\n"
      "1280x1024 no tab here\r\n"
      "\r\n"
      "  800x600 \t  D:\\sky.jpeg  \r\n"
      "\tC:name.jpg\n"          // no size, LF only, a drive-relative path
      "640x480\tE:\\old.jpg\r"  // a lone CR ends a line too
      "1x1\tF:\\last.jpg");     // no final line break
  LoadPictureList(c, 0);
  ASSERT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.rows[0], (GridRow{"sea.jpg", "1024x768", "C:\\Pictures\\sea.jpg"}));
  EXPECT_EQ(grid.rows[1], (GridRow{"sky.jpeg", "800x600", "D:\\sky.jpeg"}));
  EXPECT_EQ(grid.rows[2], (GridRow{"name.jpg", "", "C:name.jpg"}));
  EXPECT_EQ(grid.rows[3], (GridRow{"old.jpg", "640x480", "E:\\old.jpg"}));
  EXPECT_EQ(grid.rows[4], (GridRow{"last.jpg", "1x1", "F:\\last.jpg"}));
  EXPECT_EQ(grid.selTop, 0);
  EXPECT_EQ(grid.selBottom, 0);
}

TEST_F(PictureListTest, MissingOrRowlessFileGivesTheEmptyList) {
  LoadPictureList(c, 0);
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_TRUE(grid.ListEmpty());
  WriteListFile("no tab\r\nanother line\r\n");
  LoadPictureList(c, 5);
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_TRUE(grid.ListEmpty());
  EXPECT_EQ(grid.selTop, 0);
}

TEST_F(PictureListTest, CursorIsRestoredOnlyWhenItIsARowAndShowsThreeRowsAboveIt) {
  std::string ten, eleven;
  for (int i = 0; i < 10; ++i) ten += "1x1\tC:\\p" + std::to_string(i) + ".jpg\r\n";
  eleven = ten + "1x1\tC:\\p10.jpg\r\n";

  WriteListFile(ten);
  LoadPictureList(c, 12);
  EXPECT_EQ(grid.selTop, 0);
  EXPECT_EQ(grid.topRow, 0);
  LoadPictureList(c, -1);
  EXPECT_EQ(grid.selTop, 0);

  WriteListFile(eleven);
  grid.visibleRows = 4;
  LoadPictureList(c, 10);
  EXPECT_EQ(grid.selTop, 10);
  EXPECT_EQ(grid.selBottom, 10);
  EXPECT_EQ(grid.topRow, 7);
  LoadPictureList(c, 3);
  EXPECT_EQ(grid.selTop, 3);
  EXPECT_EQ(grid.topRow, 0);
}

TEST_F(PictureListTest, SaveWritesSizeTabPathCrLfAndTheEmptyListAsOneTab) {
  SavePictureList(c);
  EXPECT_EQ(ListFile(), "\t\r\n");
  LoadPictureList(c, 0);
  EXPECT_TRUE(grid.ListEmpty());
  EXPECT_EQ(grid.RowCount(), 1);

  grid.rows = {MakeListRow("C:\\Pictures\\sea.jpg", "1024x768"), MakeListRow("C:\\a.jpg", "")};
  EXPECT_TRUE(SavePictureList(c));
  EXPECT_EQ(ListFile(), "1024x768\tC:\\Pictures\\sea.jpg\r\n\tC:\\a.jpg\r\n");
  EXPECT_FALSE(FileExists(c.DataDir + "dova.lst.new"));
}

TEST_F(PictureListTest, AnsiListsLongLinesAndGarbageSurviveLoadAndSaveByteForByte) {
  testing::ScopedAnsiCodePage cyrillicSystem(1251);
  if (!cyrillicSystem.Active()) GTEST_SKIP() << "needs a system with the Cyrillic code page";
  // "C:\Картинки\море.jpg" as an earlier version wrote it on a Russian Windows.
  const std::string cyrillic = "C:\\\xCA\xE0\xF0\xF2\xE8\xED\xEA\xE8\\\xEC\xEE\xF0\xE5.jpg";
  const std::string longPath = "C:\\" + std::string(5000, 'd') + "\\" + cyrillic.substr(3);
  std::string contents = "800x600\t" + cyrillic + "\r\n" + "1x2\t" + longPath + "\r\n";
  std::mt19937 random(7);
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage += static_cast<char>(random() & 0xFF);
  contents += garbage;
  WriteListFile(contents);

  LoadPictureList(c, 0);
  ASSERT_GE(grid.RowCount(), 2);
  EXPECT_EQ(grid.rows[0][2], "C:\\Картинки\\море.jpg");
  EXPECT_EQ(grid.rows[0][0], "море.jpg");
  EXPECT_EQ(grid.rows[1][2], "C:\\" + std::string(5000, 'd') + "\\Картинки\\море.jpg");
  EXPECT_EQ(grid.rows[1][1], "1x2");

  // Every byte of the code page has its character, so the list is written back as it was read:
  // in the same code page, the two rows byte for byte, and the next start reads the same rows.
  const std::vector<GridRow> loaded = grid.rows;
  ASSERT_TRUE(SavePictureList(c));
  const std::string saved = ListFile();
  EXPECT_EQ(saved.compare(0, contents.find(garbage), contents, 0, contents.find(garbage)), 0);
  grid.rows = {GridRow{}};
  LoadPictureList(c, 0);
  EXPECT_EQ(grid.rows, loaded);
  ASSERT_TRUE(SavePictureList(c));
  EXPECT_EQ(ListFile(), saved);
}

TEST_F(PictureListTest, APathBeyondTheAnsiCodePageMakesTheListUtf8WithAMarkAndComesBackExactly) {
  testing::ScopedAnsiCodePage westernSystem(1252);
  if (!westernSystem.Active()) GTEST_SKIP() << "needs a system with the Western code page";
  const std::string german = "C:\\Bilder\\Größe.jpg";
  const std::string chinese = "C:\\Картинки\\山水画😀.jpg";

  // Everything fits Windows-1252: the list stays in it, as earlier versions wrote it.
  grid.rows = {MakeListRow(german, "800x600")};
  ASSERT_TRUE(SavePictureList(c));
  EXPECT_EQ(ListFile(),
            "800x600\tC:\\Bilder\\Gr\xF6\xDF"
            "e.jpg\r\n");

  // A row that does not fit turns the whole file into UTF-8 with a byte order mark.
  grid.rows = {MakeListRow(german, "800x600"), MakeListRow(chinese, "")};
  ASSERT_TRUE(SavePictureList(c));
  const std::string saved = ListFile();
  EXPECT_EQ(saved,
            "\xEF\xBB\xBF"
            "800x600\t" +
                german + "\r\n\t" + chinese + "\r\n");
  grid.rows = {GridRow{}};
  LoadPictureList(c, 1);
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.rows[1][2], chinese);
  EXPECT_EQ(grid.rows[1][0], "山水画😀.jpg");
  EXPECT_EQ(grid.selTop, 1);
  ASSERT_TRUE(SavePictureList(c));
  EXPECT_EQ(ListFile(), saved);

  // The mark decides, whatever the system's code page.
  testing::ScopedAnsiCodePage cyrillicSystem(1251);
  grid.rows = {GridRow{}};
  LoadPictureList(c, 0);
  EXPECT_EQ(grid.rows[0][2], german);
}

TEST_F(PictureListTest, HundredThousandRowsLoadAndSaveCompletely) {
  std::string contents;
  for (int i = 0; i < 100000; ++i)
    contents += "1024x768\tC:\\Pictures\\" + std::to_string(i) + ".jpg\r\n";
  WriteListFile(contents);
  LoadPictureList(c, 99999);
  ASSERT_EQ(grid.RowCount(), 100000);
  EXPECT_EQ(grid.rows[99999][0], "99999.jpg");
  EXPECT_EQ(grid.selTop, 99999);
  ASSERT_TRUE(SavePictureList(c));
  EXPECT_EQ(ListFile(), contents);
}

TEST_F(PictureListTest, FailedSaveKeepsTheOldListRemovesTheTemporaryFileAndLogsTheError) {
  WriteListFile("1x1\tC:\\old.jpg\r\n");
  grid.rows = {MakeListRow("C:\\new.jpg", "2x2")};
  // The temporary file cannot be created where a directory of its name stands.
  ASSERT_TRUE(CreateDirectoryPath(c.DataDir + "dova.lst.new"));
  EXPECT_FALSE(SavePictureList(c));
  EXPECT_EQ(ListFile(), "1x1\tC:\\old.jpg\r\n");
  const std::string expected =
      "ERROR  " + c.Phrase("createerror") + " " + c.DataDir + "dova.lst. " + c.Phrase("nolist");
  EXPECT_NE(Log().find(expected), std::string::npos) << Log();
  EXPECT_FALSE(c.Phrase("createerror").empty());
}

#ifndef _WIN32
TEST_F(PictureListTest, WriteErrorOnAFullDiskIsCaughtBeforeTheOldListIsReplaced) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  WriteListFile("1x1\tC:\\old.jpg\r\n");
  grid.rows = {MakeListRow("C:\\new.jpg", "2x2")};
  std::string temporary = c.DataDir + "dova.lst.new";
  for (char& ch : temporary)
    if (ch == '\\') ch = '/';
  ASSERT_EQ(symlink("/dev/full", temporary.c_str()), 0);
  EXPECT_FALSE(SavePictureList(c));
  EXPECT_EQ(ListFile(), "1x1\tC:\\old.jpg\r\n");
  EXPECT_NE(access(temporary.c_str(), F_OK), 0) << "temporary file left behind";
  EXPECT_NE(Log().find("ERROR  " + c.Phrase("createerror")), std::string::npos);
}
#endif

// --- colours and the proportion test ---------------------------------------------------------

TEST(FileGridColours, RowsPaintByTheExactProportionTest) {
  const double aspect = 1024.0 / 768.0;
  const Rgb white{255, 255, 255}, pink{255, 224, 224}, lightBlue{224, 224, 255};
  const Rgb navy{0, 0, 128}, black{0, 0, 0};
  auto background = [&](const std::string& size) {
    return FileGridCellColours(size, aspect, false).background;
  };
  EXPECT_EQ(background("800x600"), white);
  EXPECT_EQ(background("1600x1200"), white);
  EXPECT_EQ(background("1024x768"), white);
  EXPECT_EQ(background("1280x1024"), pink);
  EXPECT_EQ(background("1366x768"), pink);
  EXPECT_EQ(background(""), lightBlue);
  EXPECT_EQ(background("1024*768"), lightBlue);
  EXPECT_EQ(FileGridCellColours("800x600", aspect, false).text, black);
  for (const char* size : {"800x600", "1280x1024", ""}) {
    EXPECT_EQ(FileGridCellColours(size, aspect, true).background, navy);
    EXPECT_EQ(FileGridCellColours(size, aspect, true).text, white);
  }
}

TEST(FileGridColours, SizesWithoutARatioDoNotFitAndNeverDivideByZero) {
  const double aspect = 4.0 / 3.0;
  for (const char* size : {"x", "640x0", "0x0", "abcxdef", "x480", "640x", "640xabc", "infx1",
                           "nanx1", "640x-0", "1e999x1", "0x480"})
    EXPECT_FALSE(SizeFitsScreen(size, aspect)) << size;
  EXPECT_EQ(FileGridCellColours("640x0", aspect, false).background, (Rgb{255, 224, 224}));
  // Leading numbers as strtod reads them: blanks before, anything after.
  EXPECT_TRUE(SizeFitsScreen(" 800 x 600", aspect));
  EXPECT_TRUE(SizeFitsScreen("800x600px", aspect));
  EXPECT_TRUE(SizeFitsScreen("800.0x600", aspect));
  EXPECT_TRUE(SizeFitsScreen("1920x1080", 1920.0 / 1080.0));
  EXPECT_FALSE(SizeFitsScreen("1366x768", 1920.0 / 1080.0));
  EXPECT_FALSE(SizeFitsScreen("800x600", 0.0));
}

TEST(FileNames, NameIsThePartAfterTheLastBackslashOrColon) {
  EXPECT_EQ(FileNameOf("C:\\Pictures\\sea.jpg"), "sea.jpg");
  EXPECT_EQ(FileNameOf("C:sea.jpg"), "sea.jpg");
  EXPECT_EQ(FileNameOf("sea.jpg"), "sea.jpg");
  EXPECT_EQ(FileNameOf("C:\\dir\\"), "");
}

// --- installing and the from-list change -----------------------------------------------------

TEST_F(PictureListTest, InOrderChangeWrapsAroundAndInstallsThroughBothBitmapsInTurn) {
  const std::vector<std::string> paths = MakePictures(5);
  grid.SelectRows(4, 4);
  c.form.Check(c.form.RadioButton4);
  app.clock.Set(2026, 12, 8, 11, 30, 0);

  N1Click(c);
  EXPECT_EQ(grid.selTop, 0);
  EXPECT_EQ(grid.selBottom, 0);
  EXPECT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_TRUE(FileExists(c.DataDir + "wallpaper1.bmp"));
  EXPECT_EQ(c.CurrentWallpaper, paths[0]);
  EXPECT_EQ(c.PreviousSetWallpaper, app.clock.now);
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(c.form.statusText, "");

  N1Click(c);
  EXPECT_EQ(grid.selTop, 1);
  EXPECT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper2.bmp");
  EXPECT_FALSE(FileExists(c.DataDir + "wallpaper1.bmp"));  // the previous bitmap is deleted
  EXPECT_EQ(c.CurrentWallpaper, paths[1]);

  const std::string log = Log();
  std::size_t fixedLines = 0;
  for (std::size_t at = log.find("Установка картинки"); at != std::string::npos;
       at = log.find("Установка картинки", at + 1))
    ++fixedLines;
  EXPECT_EQ(fixedLines, 2u);
  EXPECT_NE(log.find("NOTICE " + c.Phrase("convertingimage") + " " + paths[1]), std::string::npos);
  EXPECT_NE(log.find("NOTICE " + c.Phrase("updatingdesktop")), std::string::npos);
}

TEST_F(PictureListTest, InOrderChangeFromARangeTakesTheRowAfterItsTopAndScrollsIt) {
  const std::vector<std::string> paths = MakePictures(12);
  c.form.Check(c.form.RadioButton4);
  grid.SelectRows(2, 4);
  N1Click(c);
  EXPECT_EQ(grid.selTop, 3);
  EXPECT_EQ(grid.selBottom, 3);
  EXPECT_EQ(grid.topRow, 0);
  EXPECT_EQ(c.CurrentWallpaper, paths[3]);
  grid.visibleRows = 4;
  grid.SelectRows(8, 8);
  N1Click(c);
  EXPECT_EQ(grid.topRow, 6);
}

TEST_F(PictureListTest, RandomChoiceDrawsEveryRowUniformly) {
  c.form.Check(c.form.RadioButton5);
  grid.rows = {MakeListRow("", "")};
  grid.rows[0][0] = "one";
  for (int i = 0; i < 20; ++i) N1Click(c);
  EXPECT_EQ(grid.selTop, 0);  // a one-row list always gives row 0

  // Rows of missing files: the choice is made, the installation reports the file and stops.
  grid.rows.clear();
  for (int i = 0; i < 5; ++i)
    grid.rows.push_back(MakeListRow("C:\\gone\\" + std::to_string(i), ""));
  SeedPictureChoice(12345);
  // A thousand draws (each writes the journal, which Wine makes slow): 200 each expected, the
  // bounds four standard deviations away.
  std::vector<int> counts(5);
  for (int i = 0; i < 1000; ++i) {
    N1Click(c);
    ++counts[grid.selTop];
  }
  for (int count : counts) {
    EXPECT_GT(count, 150);
    EXPECT_LT(count, 250);
  }
  EXPECT_EQ(app.desktop.calls, 0);
}

TEST_F(PictureListTest, EmptyListChangeLogsButInstallsNothing) {
  N1Click(c);
  EXPECT_NE(Log().find("Установка картинки"), std::string::npos);
  EXPECT_EQ(app.desktop.calls, 0);
  EXPECT_EQ(c.form.trayIconIndex, 3);
  FileGridDblClick(c);
  EXPECT_EQ(app.desktop.calls, 0);
  EXPECT_EQ(c.form.trayIconIndex, 3);
}

TEST_F(PictureListTest, MissingPictureKeepsTheCurrentWallpaperAndItsBitmap) {
  const std::vector<std::string> paths = MakePictures(2);
  FileGridDblClick(c);
  ASSERT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  const double appliedAt = c.PreviousSetWallpaper;

  RemoveFile(paths[1]);
  grid.SelectRows(1, 1);
  app.clock.Set(2026, 12, 9, 9, 0, 0);
  FileGridDblClick(c);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_TRUE(FileExists(c.DataDir + "wallpaper1.bmp"));
  EXPECT_FALSE(FileExists(c.DataDir + "wallpaper2.bmp"));
  EXPECT_EQ(c.CurrentWallpaper, paths[0]);
  EXPECT_EQ(c.PreviousSetWallpaper, appliedAt);
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(c.form.statusText,
            c.Phrase("notfound1") + " " + paths[1] + " " + c.Phrase("notfound2"));
  EXPECT_NE(Log().find("NOTICE " + c.form.statusText), std::string::npos);
}

TEST_F(PictureListTest, UndecodablePictureThrowsLeavesTheTrayBusyAndReleasesTheGuard) {
  const std::string broken = app.dir.WriteFile("broken.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
  grid.rows = {MakeListRow(broken, "")};
  EXPECT_THROW(FileGridDblClick(c), Error);
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(c.form.statusText, c.Phrase("convertingimage") + " " + broken);
  EXPECT_FALSE(c.changeRunning);
  EXPECT_EQ(app.desktop.calls, 0);

  // The next change runs normally.
  const std::string good = app.dir.Path() + "good.jpg";
  testing::WriteTestJpeg(good, 32, 24);
  grid.rows[0] = MakeListRow(good, "32x24");
  FileGridDblClick(c);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(c.form.trayIconIndex, 3);
}

TEST_F(PictureListTest, TriggersArrivingWhileAChangeRunsAreIgnored) {
  MakePictures(3);
  c.form.Check(c.form.RadioButton4);
  {
    ChangeGuard running(c);  // e.g. a download in progress that pumps messages
    N1Click(c);
    FileGridDblClick(c);
    EXPECT_EQ(grid.selTop, 0);
    EXPECT_EQ(app.desktop.calls, 0);
    EXPECT_EQ(Log().find("Установка картинки"), std::string::npos);
  }
  N1Click(c);
  EXPECT_EQ(grid.selTop, 1);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_FALSE(c.changeRunning);
}

}  // namespace
}  // namespace dova
