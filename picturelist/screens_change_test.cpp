// The from-list change with several screens and with a desktop that refuses the bitmap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/screens_setting.h"
#include "form/wallpaper_change.h"
#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "tests/support/picture_list_fixture.h"
#include "tests/support/test_monitors.h"
#include "wallpaper/bmp_file.h"

namespace dova {
namespace {

TEST_F(PictureListTest, ADesktopThatRefusesTheBitmapLeavesTheWallpaperAndItsRecordAlone) {
  const std::vector<std::string> paths = MakePictures(3);
  grid.SelectRows(0, 0);
  c.form.Check(c.form.RadioButton4);
  c.form.Check(c.form.RadioButton3);  // do not resize: centred
  app.clock.Set(2026, 12, 8, 11, 30, 0);
  N1Click(c);
  ASSERT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_EQ(app.desktop.position, WallpaperPosition::Centre);
  const double changedAt = c.PreviousSetWallpaper;
  const std::vector<std::string> history = c.RecentPictures;

  app.desktop.refusal = "Access is denied.";
  app.clock.Set(2026, 12, 8, 12, 0, 0);
  N1Click(c);
  EXPECT_EQ(app.desktop.refused, 1);
  EXPECT_TRUE(FileExists(c.DataDir + "wallpaper1.bmp"));  // still the desktop's bitmap
  EXPECT_FALSE(FileExists(c.DataDir + "wallpaper2.bmp"));
  EXPECT_EQ(c.CurrentWallpaper, paths[1]);
  EXPECT_EQ(c.PreviousSetWallpaper, changedAt);
  EXPECT_EQ(c.RecentPictures, history);
  const std::string report = c.Phrase("desktoperror") + ": Access is denied.";
  EXPECT_EQ(c.form.statusText, report);
  EXPECT_NE(Log().find("ERROR  " + report), std::string::npos);
  EXPECT_EQ(c.form.trayIconIndex, 3);

  app.desktop.refusal.clear();
  c.form.Check(c.form.RadioButton1);  // Windows stretches
  N1Click(c);
  EXPECT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper2.bmp");
  EXPECT_EQ(app.desktop.position, WallpaperPosition::Stretch);
  EXPECT_FALSE(FileExists(c.DataDir + "wallpaper1.bmp"));
  EXPECT_EQ(c.PreviousSetWallpaper, app.clock.now);
}

TEST_F(PictureListTest, EachScreenTakesTheNextPictureAndKeepsItWhenTheScreensChange) {
  const std::vector<std::string> paths = MakePictures(4);
  grid.SelectRows(0, 0);
  c.form.Check(c.form.RadioButton4);
  ShowScreensMode(c.form, ScreensMode::Each);
  // The second screen stands left of the primary, so it takes the second picture.
  app.screen.monitors = {testing::TestMonitor(0, 0, 64, 48, "A", true),
                         testing::TestMonitor(-32, 0, 32, 24, "B", false)};
  app.clock.Set(2026, 12, 8, 11, 30, 0);
  N1Click(c);
  EXPECT_EQ(grid.selTop, 2);  // the last picture taken: the next change goes on after it
  EXPECT_EQ(c.CurrentWallpaper, paths[1]);
  ASSERT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_EQ(app.desktop.position, WallpaperPosition::Tile);
  EXPECT_EQ(app.desktop.stretch, "0");
  Bitmap composed = LoadBmpFile(app.desktop.wallpaper);
  EXPECT_EQ(composed.Width(), 96);
  EXPECT_EQ(composed.Height(), 48);
  ASSERT_EQ(c.ShownPictures.size(), 2u);
  EXPECT_EQ(c.ShownPictures[0].source, paths[1]);
  EXPECT_EQ(c.ShownPictures[1].source, paths[2]);

  // Renumbered, and B moved to the right: each keeps its picture, nothing else changes.
  const double changedAt = c.PreviousSetWallpaper;
  const std::vector<std::string> history = c.RecentPictures;
  app.clock.Set(2026, 12, 8, 11, 45, 0);
  app.screen.monitors = {testing::TestMonitor(64, 0, 48, 36, "B", false),
                         testing::TestMonitor(0, 0, 64, 48, "A", true)};
  RelayOutWallpaper(c);
  ASSERT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper2.bmp");
  composed = LoadBmpFile(app.desktop.wallpaper);
  EXPECT_EQ(composed.Width(), 112);
  EXPECT_FALSE(FileExists(c.DataDir + "wallpaper1.bmp"));
  EXPECT_EQ(c.PreviousSetWallpaper, changedAt);
  EXPECT_EQ(c.RecentPictures, history);
  EXPECT_EQ(c.CurrentWallpaper, paths[1]);
  EXPECT_EQ(grid.selTop, 2);

  // Down to one screen: A's picture alone, at the screen's size as ever, nothing left behind.
  app.screen.monitors = {testing::TestMonitor(0, 0, 64, 48, "A", true)};
  c.form.Check(c.form.RadioButton2);
  RelayOutWallpaper(c);
  ASSERT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_EQ(app.desktop.position, WallpaperPosition::Stretch);
  EXPECT_EQ(LoadBmpFile(app.desktop.wallpaper).Width(), 64);
  EXPECT_EQ(ListDirectory(c.DataDir + "wallpaper*").size(), 1u);
}

TEST_F(PictureListTest, WhereTheSystemSetsEachMonitorEachGetsItsOwnBitmapAtItsSize) {
  const std::vector<std::string> paths = MakePictures(4);
  grid.SelectRows(0, 0);
  c.form.Check(c.form.RadioButton4);
  c.form.Check(c.form.RadioButton2);  // the program resizes
  ShowScreensMode(c.form, ScreensMode::Each);
  testing::FakeMonitorWallpaper monitors;
  app.desktop.monitorWallpapers = &monitors;
  app.screen.monitors = {testing::TestMonitor(0, 0, 64, 48, "A", true),
                         testing::TestMonitor(-32, 0, 32, 24, "B", false),
                         testing::TestMonitor(64, 0, 48, 36, "C", false)};
  app.clock.Set(2026, 12, 8, 11, 30, 0);
  N1Click(c);
  EXPECT_EQ(app.desktop.calls, 0);
  ASSERT_EQ(monitors.calls.size(), 1u);
  EXPECT_EQ(monitors.calls[0].position, WallpaperPosition::Stretch);
  const std::vector<MonitorBitmap>& first = monitors.calls[0].bitmaps;
  ASSERT_EQ(first.size(), 3u);
  const int widths[] = {64, 32, 48};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(first[i].devicePath, app.screen.monitors[i].devicePath);
    EXPECT_EQ(first[i].bitmapPath, c.DataDir + "wallpaper1-" + std::to_string(i + 1) + ".bmp");
    EXPECT_EQ(LoadBmpFile(first[i].bitmapPath).Width(), widths[i]);
  }
  // The primary took the next picture, then B and C from left to right.
  ASSERT_EQ(c.ShownPictures.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(c.ShownPictures[i].source, paths[i + 1]);

  // C is gone: the other set is written and nothing of the first is left.
  app.screen.monitors.pop_back();
  RelayOutWallpaper(c);
  ASSERT_EQ(monitors.calls.size(), 2u);
  ASSERT_EQ(monitors.calls[1].bitmaps.size(), 2u);
  EXPECT_EQ(monitors.calls[1].bitmaps[1].bitmapPath, c.DataDir + "wallpaper2-2.bmp");
  EXPECT_EQ(ListDirectory(c.DataDir + "wallpaper*").size(), 2u);
  EXPECT_FALSE(FileExists(c.DataDir + "wallpaper1-3.bmp"));

  // Refused: the desktop's bitmaps stay, the new ones go.
  monitors.refusal = "Access is denied.";
  RelayOutWallpaper(c);
  EXPECT_EQ(c.form.statusText, c.Phrase("desktoperror") + ": Access is denied.");
  EXPECT_TRUE(FileExists(c.DataDir + "wallpaper2-1.bmp"));
  EXPECT_TRUE(FileExists(c.DataDir + "wallpaper2-2.bmp"));
  EXPECT_EQ(ListDirectory(c.DataDir + "wallpaper*").size(), 2u);

  // One screen: its bitmap through the desktop, the monitors' bitmaps removed.
  monitors.refusal.clear();
  app.screen.monitors.pop_back();
  RelayOutWallpaper(c);
  EXPECT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_EQ(ListDirectory(c.DataDir + "wallpaper*").size(), 1u);
}

}  // namespace
}  // namespace dova
