#include "picturelist/list_editing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form/controller.h"
#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"

namespace dova {
namespace {

using testing::TestApp;

struct ListEditingTest : ::testing::Test {
  TestApp app;
  AppContext& c = app.ctx();
  FileGridControl& grid = c.form.FileGrid;
  std::string startDir = GetCurrentDir();

  void TearDown() override { SetCurrentDir(startDir); }

  // Rows named "r0", "r1", ... with the given count.
  void MakeRows(int count) {
    grid.rows.clear();
    for (int i = 0; i < count; ++i)
      grid.rows.push_back(GridRow{"r" + std::to_string(i), "1x1", "C:\\r" + std::to_string(i)});
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const GridRow& row : grid.rows) names.push_back(row[0]);
    return names;
  }
  std::string Jpeg(const std::string& name, int width = 64, int height = 48) {
    const std::string path = app.dir.Path() + name;
    testing::WriteTestJpeg(path, width, height);
    return path;
  }
};

// --- adding files -----------------------------------------------------------------------------

TEST_F(ListEditingTest, AddedFilesFillTheEmptyListThenGoAfterTheLastRow) {
  const std::string a = Jpeg("a.jpg"), b = Jpeg("b.jpg", 800, 600), d = Jpeg("d.jpeg", 10, 20);
  c.form.openDialogTitle = "Choose";
  app.dialogs.files = {a, b, d};
  SpeedButton1Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_EQ(app.dialogs.lastTitle, "Choose");
  ASSERT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.rows[0], (GridRow{"a.jpg", "64x48", a}));
  EXPECT_EQ(grid.rows[1], (GridRow{"b.jpg", "800x600", b}));
  EXPECT_EQ(grid.rows[2], (GridRow{"d.jpeg", "10x20", d}));
  EXPECT_TRUE(c.form.SpeedButton3.enabled);

  // A file chosen again stands twice; a file without a readable size is added with none.
  const std::string text = app.dir.WriteFile("notes.jpg", "plain text");
  app.dialogs.files = {a, text};
  SpeedButton1Click(c);
  ASSERT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.rows[3][2], a);
  EXPECT_EQ(grid.rows[4], (GridRow{"notes.jpg", "", text}));
  EXPECT_EQ(c.form.statusText, "");
}

TEST_F(ListEditingTest, CancelledFileDialogAddsNothingAndClearsTheStatus) {
  MakeRows(2);
  c.form.statusText = "something";
  app.dialogs.files.clear();
  SpeedButton1Click(c);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(c.form.statusText, "");
  grid.rows = {GridRow{}};
  SpeedButton1Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_TRUE(grid.ListEmpty());
  EXPECT_FALSE(c.form.SpeedButton3.enabled);
}

TEST_F(ListEditingTest, EveryEleventhFileLetsTheWindowHandleItsMessages) {
  const std::string a = Jpeg("a.jpg");
  std::vector<std::string> statuses;
  app.pump.onProcessMessages = [&] { statuses.push_back(c.form.statusText); };
  app.dialogs.files.assign(10, a);
  SpeedButton1Click(c);
  EXPECT_EQ(app.pump.processed, 0);
  app.dialogs.files.assign(25, a);
  app.dialogs.files[21] = app.dir.Path() + "x22.jpg";  // missing: added without a size
  SpeedButton1Click(c);
  EXPECT_EQ(app.pump.processed, 2);  // files 11 and 22
  ASSERT_EQ(statuses.size(), 2u);
  EXPECT_EQ(statuses[1], c.Phrase("adding") + " a.jpg");  // shown at file 11
  EXPECT_EQ(grid.RowCount(), 35);
  EXPECT_EQ(grid.rows[31][1], "");
}

TEST_F(ListEditingTest, ListCommandsArrivingDuringAnAdditionAreIgnoredSoNoFileIsLost) {
  const std::string a = Jpeg("a.jpg");
  MakeRows(3);
  int nested = 0;
  bool clicking = false;
  app.pump.onProcessMessages = [&] {
    // The scheduled change below serves the window while it converts, when that takes longer
    // than a few milliseconds (a loaded machine): those pumps are its own, not the addition's.
    if (clicking) return;
    clicking = true;
    // The user clicks around while the files are being added.
    grid.SelectRows(0, grid.RowCount() - 1);
    SpeedButton3Click(c);
    SpeedButton7Click(c);
    SpeedButton4Click(c);
    SpeedButton5Click(c);
    SpeedButton6Click(c);
    SpeedButton1Click(c);
    SpeedButton2Click(c);
    N1Click(c);  // a scheduled change may run: it only moves the cursor
    ++nested;
    EXPECT_TRUE(ListAdditionRunning());
    clicking = false;
  };
  app.dialogs.files.assign(40, a);
  app.dialogs.folder = app.dir.Path();
  SpeedButton1Click(c);
  EXPECT_EQ(nested, 3);
  EXPECT_FALSE(ListAdditionRunning());
  ASSERT_EQ(grid.RowCount(), 43);
  EXPECT_EQ(grid.rows[0][0], "r0");
  for (int i = 3; i < 43; ++i) EXPECT_EQ(grid.rows[i][2], a);
  app.pump.onProcessMessages = nullptr;
  SpeedButton7Click(c);  // commands work again afterwards
  EXPECT_TRUE(grid.ListEmpty());
}

// --- adding a directory ------------------------------------------------------------------------

TEST_F(ListEditingTest, DirectoryAddsPlainPictureFilesInListingOrderAndBecomesCurrent) {
  ASSERT_TRUE(CreateDirectoryPath(app.dir.Path() + "pics"));
  const std::string pics = app.dir.Path() + "pics\\";
  Jpeg("pics\\A.JPG", 800, 600);
  Jpeg("pics\\b.jpeg", 1280, 1024);
  Jpeg("pics\\c.png");  // a JPEG under a PNG's name: its size is read from what it holds
  Jpeg("pics\\d.jpg.txt");
  Jpeg("pics\\f.gif");
  Jpeg("pics\\.hidden.jpg");
  Jpeg("pics\\Море.Jpeg");
  ASSERT_TRUE(CreateDirectoryPath(pics + "e.jpg"));
  Jpeg("pics\\e.jpg\\inside.jpg");

  std::vector<std::string> expected;
  for (const DirEntry& entry : ListDirectory(pics + "*.*"))
    if (!entry.directory && !entry.hidden && HasPictureSuffix(entry.name))
      expected.push_back(entry.name);
  ASSERT_EQ(expected.size(), 4u);

  MakeRows(1);
  app.dialogs.folder = pics.substr(0, pics.size() - 1);  // the dialog gives no final backslash
  SpeedButton2Click(c);
  EXPECT_EQ(app.dialogs.lastTitle, c.Phrase("opendirectory"));
  ASSERT_EQ(grid.RowCount(), 5);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(grid.rows[1 + i][0], expected[i]);
    EXPECT_EQ(grid.rows[1 + i][2], pics + expected[i]);
  }
  std::vector<std::string> sizes;
  for (int i = 1; i < 5; ++i) sizes.push_back(grid.rows[i][0] + "=" + grid.rows[i][1]);
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<std::string>{"A.JPG=800x600", "b.jpeg=1280x1024", "c.png=64x48",
                                             "Море.Jpeg=64x48"}));
  EXPECT_EQ(GetCurrentDir() + "\\", pics);
  EXPECT_EQ(c.form.statusText, "");
}

TEST_F(ListEditingTest, CancelledFolderPickerChangesNeitherListNorCurrentDirectory) {
  MakeRows(2);
  const std::string before = GetCurrentDir();
  app.dialogs.folder = "";
  SpeedButton2Click(c);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(GetCurrentDir(), before);
}

TEST_F(ListEditingTest, DirectoryOfThousandsOfFilesIsAddedWholeWithProgress) {
  ASSERT_TRUE(CreateDirectoryPath(app.dir.Path() + "many"));
  const std::string many = app.dir.Path() + "many\\";
  const std::string jpeg = Jpeg("one.jpg", 40, 30);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(jpeg, bytes));
  for (int i = 0; i < 2200; ++i)
    app.dir.WriteFile("many\\" + std::to_string(i) + (i % 2 ? ".JPG" : ".txt"), bytes);
  app.dialogs.folder = many;
  SpeedButton2Click(c);
  ASSERT_EQ(grid.RowCount(), 1100);
  for (const GridRow& row : grid.rows) {
    EXPECT_EQ(row[1], "40x30");
    EXPECT_EQ(row[2], many + row[0]);
  }
  EXPECT_EQ(app.pump.processed, 2200 / 11);  // every entry counts, matching or not
}

TEST_F(ListEditingTest, FolderWithoutPicturesLeavesTheEmptyListEmpty) {
  ASSERT_TRUE(CreateDirectoryPath(app.dir.Path() + "none"));
  app.dir.WriteFile("none\\readme.txt", "x");
  app.dialogs.folder = app.dir.Path() + "none";
  SpeedButton2Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_TRUE(grid.ListEmpty());
  EXPECT_FALSE(c.form.SpeedButton7.enabled);
}

// --- deleting, clearing, stripping -------------------------------------------------------------

TEST_F(ListEditingTest, DeleteRemovesTheSelectedRangeAndAllRowsLeaveTheEmptyList) {
  MakeRows(6);
  grid.SelectRows(2, 3);
  SpeedButton3Click(c);
  EXPECT_EQ(Names(), (std::vector<std::string>{"r0", "r1", "r4", "r5"}));
  grid.SelectRows(2, 3);
  SpeedButton3Click(c);  // the range reaching the last row
  EXPECT_EQ(Names(), (std::vector<std::string>{"r0", "r1"}));
  EXPECT_LE(grid.selBottom, 1);
  grid.SelectRows(0, 1);
  SpeedButton3Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_TRUE(grid.ListEmpty());
  EXPECT_EQ(grid.rows[0], GridRow{});
  for (SpeedButton* b : {&c.form.SpeedButton3, &c.form.SpeedButton4, &c.form.SpeedButton5,
                         &c.form.SpeedButton6, &c.form.SpeedButton7, &c.form.SpeedButton8})
    EXPECT_FALSE(b->enabled) << b->name;
  EXPECT_TRUE(c.form.SpeedButton1.enabled);
  EXPECT_TRUE(c.form.SpeedButton2.enabled);
}

TEST_F(ListEditingTest, ClearLeavesOneEmptyRow) {
  MakeRows(4);
  grid.SelectRows(2, 3);
  SpeedButton7Click(c);
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_EQ(grid.rows[0], GridRow{});
  EXPECT_EQ(grid.selTop, 0);
  EXPECT_EQ(grid.selBottom, 0);
}

TEST_F(ListEditingTest, StripKeepsOnlyRowsOfTheScreensProportionsInOrder) {
  grid.rows.clear();
  for (const char* size :
       {"800x600", "1280x1024", "", "x", "640x0", "abcxdef", "1600x1200", "1024x768", "0x0"})
    grid.rows.push_back(GridRow{std::string("n") + size, size, "C:\\p"});
  SpeedButton4Click(c);
  EXPECT_EQ(Names(), (std::vector<std::string>{"n800x600", "n1600x1200", "n1024x768"}));

  grid.rows = {GridRow{"a", "1280x1024", "C:\\a"}, GridRow{"b", "", "C:\\b"}};
  SpeedButton4Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_TRUE(grid.ListEmpty());
  EXPECT_FALSE(c.form.SpeedButton4.enabled);
}

// --- moving --------------------------------------------------------------------------------------

TEST_F(ListEditingTest, MovingARangeDownAndUpKeepsItSelected) {
  MakeRows(5);
  grid.SelectRows(1, 3);
  SpeedButton6Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_EQ(Names(), (std::vector<std::string>{"r0", "r4", "r1", "r2", "r3"}));
  EXPECT_EQ(grid.selTop, 2);
  EXPECT_EQ(grid.selBottom, 4);
  EXPECT_FALSE(c.form.SpeedButton6.enabled);  // now at the last row
  SpeedButton6Click(c);
  EXPECT_EQ(Names(), (std::vector<std::string>{"r0", "r4", "r1", "r2", "r3"}));

  MakeRows(5);
  grid.SelectRows(1, 3);
  SpeedButton5Click(c);
  UpdateControls(c);  // as the window does after every handler
  EXPECT_EQ(Names(), (std::vector<std::string>{"r1", "r2", "r3", "r0", "r4"}));
  EXPECT_EQ(grid.selTop, 0);
  EXPECT_EQ(grid.selBottom, 2);
  EXPECT_FALSE(c.form.SpeedButton5.enabled);
  SpeedButton5Click(c);
  EXPECT_EQ(Names(), (std::vector<std::string>{"r1", "r2", "r3", "r0", "r4"}));
}

TEST_F(ListEditingTest, MovingScrollsByTheViewRules) {
  MakeRows(40);
  grid.visibleRows = 5;
  grid.ScrollTo(10);
  grid.SelectRows(10, 11);
  SpeedButton5Click(c);  // row 9 lies above the view: it becomes the first visible row
  EXPECT_EQ(grid.topRow, 9);
  SpeedButton5Click(c);
  EXPECT_EQ(grid.topRow, 8);

  grid.ScrollTo(0);
  grid.SelectRows(20, 20);
  SpeedButton6Click(c);  // 20 - 8 = 12 is below the first visible row: scroll to it
  EXPECT_EQ(grid.topRow, 12);
  EXPECT_EQ(grid.selTop, 21);
  grid.SelectRows(15, 15);
  SpeedButton6Click(c);  // 15 - 8 = 7 is above the first visible row: no scrolling
  EXPECT_EQ(grid.topRow, 12);
}

}  // namespace
}  // namespace dova
