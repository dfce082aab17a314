// "Previous picture" over real files: the change both modes use, the kept downloads and the
// recent list's bounds.
#include "form/picture_history.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"

namespace dova {
namespace {

using testing::TestApp;

struct PictureHistoryTest : ::testing::Test {
  TestApp app;
  AppContext& c = app.ctx();
  std::string Picture(const std::string& name, int width) {
    const std::string path = app.dir.Path() + name;
    testing::WriteTestJpeg(path, width, 30);
    return path;
  }
  int WallpaperWidth() {
    std::FILE* file = OpenFile(app.desktop.wallpaper, "rb");
    unsigned char header[22] = {};
    const bool read = file && std::fread(header, 1, sizeof header, file) == sizeof header;
    if (file) std::fclose(file);
    return read ? header[18] | header[19] << 8 : -1;
  }
};

TEST_F(PictureHistoryTest, EachStepGoesOneFurtherBackUntilThereIsNothingLeft) {
  const std::string a = Picture("a.jpg", 40), b = Picture("b.jpg", 50), d = Picture("d.jpg", 60);
  EXPECT_FALSE(CanShowPreviousPicture(c));
  for (const std::string& p : {a, b, b, d}) RememberPicture(c, p);  // b twice in a row: once
  EXPECT_EQ(c.RecentPictures, (std::vector<std::string>{d, b, a}));
  ASSERT_TRUE(CanShowPreviousPicture(c));

  ShowPreviousPicture(c);  // the resize mode is Windows's: the bitmap has the picture's size
  EXPECT_EQ(WallpaperWidth(), 50);
  EXPECT_EQ(c.RecentPictures, (std::vector<std::string>{b, a}));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  ShowPreviousPicture(c);
  EXPECT_EQ(WallpaperWidth(), 40);
  EXPECT_EQ(c.RecentPictures, (std::vector<std::string>{a}));
  EXPECT_FALSE(CanShowPreviousPicture(c));
  const int changes = app.desktop.calls;
  ShowPreviousPicture(c);
  EXPECT_EQ(app.desktop.calls, changes);

  // A previous picture that is gone: reported as missing and forgotten; the wallpaper stays.
  RememberPicture(c, app.dir.Path() + "gone.jpg");
  RememberPicture(c, b);
  ShowPreviousPicture(c);
  EXPECT_EQ(app.desktop.calls, changes);
  EXPECT_NE(c.form.statusText.find("gone.jpg"), std::string::npos);
  EXPECT_EQ(c.RecentPictures, (std::vector<std::string>{b, a}));

  // Refused while another change runs.
  c.changeRunning = true;
  ShowPreviousPicture(c);
  EXPECT_EQ(c.RecentPictures.size(), 2u);
  c.changeRunning = false;
}

TEST_F(PictureHistoryTest, DownloadsAreKeptWhileRememberedAndDeletedWhenForgotten) {
  ASSERT_TRUE(CreateDirectoryPath(c.DataDir));
  std::vector<std::string> kept;
  for (int day = 0; day < kRecentPictures + 2; ++day) {
    Picture("Sites\\temp.jpg", 20 + day);
    const std::string name = KeepDownloadedPicture(c, c.DataDir + "temp.jpg");
    ASSERT_FALSE(name.empty());
    EXPECT_FALSE(FileExists(c.DataDir + "temp.jpg"));
    EXPECT_TRUE(FileExists(name));
    RememberPicture(c, name);
    kept.push_back(name);
  }
  // Five remembered, each in a file of its own; the two oldest files are gone.
  ASSERT_EQ(static_cast<int>(c.RecentPictures.size()), kRecentPictures);
  for (int i = 0; i < kRecentPictures; ++i) {
    EXPECT_EQ(c.RecentPictures[i], kept[kept.size() - 1 - i]);
    EXPECT_TRUE(FileExists(c.RecentPictures[i]));
  }
  int files = 0;
  for (int n = 1; n <= kRecentPictures + 1; ++n)
    files += FileExists(c.DataDir + "previous" + std::to_string(n) + ".jpg");
  EXPECT_EQ(files, kRecentPictures);

  // Going back shows the day before and deletes the copy of the day left.
  const std::string today = c.RecentPictures[0];
  ShowPreviousPicture(c);
  EXPECT_FALSE(FileExists(today));
  EXPECT_EQ(WallpaperWidth(), 20 + kRecentPictures);

  // A list picture that falls off the end is the user's own file: it stays, also in the data
  // directory under a name that starts as the kept ones do.
  const std::string mine = Picture("mine.jpg", 33);
  const std::string trip = Picture("Sites\\previous_trip.jpg", 34);
  RememberPicture(c, mine);
  RememberPicture(c, trip);
  for (int i = 0; i < kRecentPictures; ++i)
    RememberPicture(c, Picture("x" + std::to_string(i) + ".jpg", 9));
  EXPECT_TRUE(FileExists(mine));
  EXPECT_TRUE(FileExists(trip));
}

}  // namespace
}  // namespace dova
