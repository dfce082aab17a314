#include "wallpaper/composed_wallpaper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_monitors.h"
#include "wallpaper/bmp_file.h"

namespace dova {
namespace {

constexpr PackedRgb kGround = 0x00C000;

std::string SolidPicture(testing::TempDir& dir, const char* name, int width, int height,
                         PackedRgb rgb) {
  Bitmap picture(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      picture.Row(y)[x * 3] = rgb & 0xFF;
      picture.Row(y)[x * 3 + 1] = (rgb >> 8) & 0xFF;
      picture.Row(y)[x * 3 + 2] = (rgb >> 16) & 0xFF;
    }
  const std::string path = dir.File(name);
  SaveBmpFile(picture, path);
  return path;
}

PackedRgb PixelAt(const Bitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.Row(y) + x * 3;
  return static_cast<PackedRgb>(p[2]) << 16 | static_cast<PackedRgb>(p[1]) << 8 | p[0];
}

// What the desktop shows at (x, y) when it tiles `bitmap` from `start`.
PackedRgb Shown(const Bitmap& bitmap, const std::vector<MonitorArea>& monitors, TileStart start,
                int x, int y) {
  const PictureRect screen = VirtualScreen(monitors);
  const int ox = start == TileStart::VirtualScreen ? screen.x : 0;
  const int oy = start == TileStart::VirtualScreen ? screen.y : 0;
  const int w = bitmap.Width(), h = bitmap.Height();
  return PixelAt(bitmap, ((x - ox) % w + w) % w, ((y - oy) % h + h) % h);
}

TEST(ComposedWallpaper, EachMonitorShowsItsPictureAndTheGapsTheGround) {
  testing::TempDir dir;
  // The second screen is left of and above the primary, and lower: on Windows 7 it wraps.
  const std::vector<MonitorArea> monitors = {testing::TestMonitor(0, 0, 64, 48, "", true),
                                             testing::TestMonitor(-40, -10, 40, 30)};
  const std::vector<std::string> sources = {SolidPicture(dir, "red.bmp", 32, 24, 0xE00000),
                                            SolidPicture(dir, "blue.bmp", 20, 15, 0x0000E0)};
  ConvertOptions options;
  options.mode = ResizeMode::Program;
  options.filterIndex = 0;
  options.fitColour = kGround;
  options.threads = 2;
  for (TileStart start : {TileStart::PrimaryMonitor, TileStart::VirtualScreen}) {
    const std::string target = dir.File("wallpaper1.bmp");
    std::string missing;
    ASSERT_TRUE(
        ComposeWallpaper(sources, ComposeLayout(monitors, start), target, options, missing));
    const Bitmap composed = LoadBmpFile(target);
    ASSERT_EQ(composed.Width(), 104);
    ASSERT_EQ(composed.Height(), 58);
    long long shownPixels = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x, ++shownPixels)
        ASSERT_EQ(Shown(composed, monitors, start, x, y), 0xE00000u) << x << "," << y;
    for (int y = -10; y < 20; ++y)
      for (int x = -40; x < 0; ++x, ++shownPixels)
        ASSERT_EQ(Shown(composed, monitors, start, x, y), 0x0000E0u) << x << "," << y;
    long long ground = 0;
    for (int y = 0; y < composed.Height(); ++y)
      for (int x = 0; x < composed.Width(); ++x) ground += PixelAt(composed, x, y) == kGround;
    EXPECT_EQ(ground + shownPixels, 104 * 58);
    EXPECT_FALSE(FileExists(target + ".new"));
  }

  // Not resized: each picture centred at its own size on its screen, cut when larger, the
  // margins in the ground colour. One picture across both: no ground at all.
  options.mode = ResizeMode::None;
  const std::vector<std::string> big = {SolidPicture(dir, "big.bmp", 80, 60, 0xE00000),
                                        SolidPicture(dir, "small.bmp", 10, 10, 0x0000E0)};
  std::string missing;
  ASSERT_TRUE(ComposeWallpaper(big, ComposeLayout(monitors, TileStart::VirtualScreen),
                               dir.File("centred.bmp"), options, missing));
  const Bitmap centred = LoadBmpFile(dir.File("centred.bmp"));
  EXPECT_EQ(Shown(centred, monitors, TileStart::VirtualScreen, 0, 0), 0xE00000u);
  EXPECT_EQ(Shown(centred, monitors, TileStart::VirtualScreen, 63, 47), 0xE00000u);
  EXPECT_EQ(Shown(centred, monitors, TileStart::VirtualScreen, -20, 5), 0x0000E0u);
  EXPECT_EQ(Shown(centred, monitors, TileStart::VirtualScreen, -26, 5), kGround);
  EXPECT_EQ(Shown(centred, monitors, TileStart::VirtualScreen, -20, -1), kGround);
  options.mode = ResizeMode::Program;
  ASSERT_TRUE(ComposeWallpaper({sources[0]}, SpanLayout(monitors, TileStart::PrimaryMonitor),
                               dir.File("span.bmp"), options, missing));
  const Bitmap span = LoadBmpFile(dir.File("span.bmp"));
  for (int y = 0; y < span.Height(); ++y)
    for (int x = 0; x < span.Width(); ++x) ASSERT_EQ(PixelAt(span, x, y), 0xE00000u);

  // A missing picture: nothing is written.
  EXPECT_FALSE(ComposeWallpaper({sources[0], dir.File("gone.jpg")},
                                ComposeLayout(monitors, TileStart::VirtualScreen),
                                dir.File("none.bmp"), options, missing));
  EXPECT_EQ(missing, dir.File("gone.jpg"));
  EXPECT_FALSE(FileExists(dir.File("none.bmp")));
}

}  // namespace
}  // namespace dova
