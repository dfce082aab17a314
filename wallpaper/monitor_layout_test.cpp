#include "wallpaper/monitor_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_monitors.h"

namespace dova {
namespace {

// Paints the composed bitmap with each monitor's number (gaps -1, a pixel painted twice -2),
// then looks at every pixel of every monitor the way the desktop tiles the bitmap from `start`:
// each must show its own monitor's number. Gives the number of gap pixels.
long long CheckTheDesktopShowsEachMonitorItsPart(const std::vector<MonitorArea>& monitors,
                                                 TileStart start) {
  const ComposedLayout layout = ComposeLayout(monitors, start);
  const PictureRect screen = VirtualScreen(monitors);
  EXPECT_EQ(layout.width, screen.width);
  EXPECT_EQ(layout.height, screen.height);
  std::vector<int> bitmap(static_cast<std::size_t>(layout.width) * layout.height, -1);
  for (std::size_t i = 0; i < layout.places.size(); ++i)
    for (const PictureRect& part : WrappedParts(layout, layout.places[i])) {
      EXPECT_GE(part.x, 0);
      EXPECT_GE(part.y, 0);
      EXPECT_LE(part.x + part.width, layout.width);
      EXPECT_LE(part.y + part.height, layout.height);
      for (int y = part.y; y < part.y + part.height; ++y)
        for (int x = part.x; x < part.x + part.width; ++x) {
          int& pixel = bitmap[static_cast<std::size_t>(y) * layout.width + x];
          pixel = pixel == -1 ? static_cast<int>(i) : -2;
        }
    }
  long long gaps = 0;
  for (int y = 0; y < layout.height; ++y) {
    int x = 0;
    for (const PictureRect& gap : GapsInRow(layout, y)) {
      for (; x < gap.x; ++x) EXPECT_GE(bitmap[static_cast<std::size_t>(y) * layout.width + x], 0);
      for (; x < gap.x + gap.width; ++x, ++gaps)
        EXPECT_EQ(bitmap[static_cast<std::size_t>(y) * layout.width + x], -1) << x << "," << y;
    }
  }
  const int originX = start == TileStart::VirtualScreen ? screen.x : 0;
  const int originY = start == TileStart::VirtualScreen ? screen.y : 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const MonitorArea& m = monitors[i];
    for (int y = m.top; y < m.top + m.height; ++y)
      for (int x = m.left; x < m.left + m.width; ++x) {
        const int bx = ((x - originX) % layout.width + layout.width) % layout.width;
        const int by = ((y - originY) % layout.height + layout.height) % layout.height;
        const int shown = bitmap[static_cast<std::size_t>(by) * layout.width + bx];
        if (shown != static_cast<int>(i)) {
          ADD_FAILURE() << "monitor " << i << " shows " << shown << " at " << x << "," << y;
          return gaps;
        }
      }
  }
  return gaps;
}

TEST(MonitorLayout, EveryMonitorShowsItsOwnPartAndTheRestAreGaps) {
  // A primary with a second screen to its left at a negative origin, lower than the primary.
  const std::vector<MonitorArea> leftOfPrimary = {testing::TestMonitor(0, 0, 192, 108, "", true),
                                                  testing::TestMonitor(-128, 0, 128, 102)};
  EXPECT_EQ(VirtualScreen(leftOfPrimary), (PictureRect{-128, 0, 320, 108}));
  const ComposedLayout side = ComposeLayout(leftOfPrimary, TileStart::VirtualScreen);
  EXPECT_EQ(side.places[0], (PictureRect{128, 0, 192, 108}));
  EXPECT_EQ(side.places[1], (PictureRect{0, 0, 128, 102}));
  EXPECT_EQ(CheckTheDesktopShowsEachMonitorItsPart(leftOfPrimary, TileStart::VirtualScreen),
            128 * 6);
  ASSERT_EQ(GapsInRow(side, 105).size(), 1u);
  EXPECT_EQ(GapsInRow(side, 105)[0], (PictureRect{0, 105, 128, 1}));
  EXPECT_TRUE(GapsInRow(side, 0).empty());

  // A portrait screen above, off centre.
  const std::vector<MonitorArea> portraitAbove = {testing::TestMonitor(0, 0, 192, 108, "", true),
                                                  testing::TestMonitor(20, -192, 108, 192)};
  const ComposedLayout above = ComposeLayout(portraitAbove, TileStart::VirtualScreen);
  EXPECT_EQ(above.places[0], (PictureRect{0, 192, 192, 108}));
  EXPECT_EQ(above.places[1], (PictureRect{20, 0, 108, 192}));
  EXPECT_EQ(CheckTheDesktopShowsEachMonitorItsPart(portraitAbove, TileStart::VirtualScreen),
            (192 - 108) * 192);

  // Three screens of mixed sizes, with a gap below the smaller ones and one above the right.
  const std::vector<MonitorArea> three = {testing::TestMonitor(0, 0, 256, 144, "", true),
                                          testing::TestMonitor(256, 20, 192, 108),
                                          testing::TestMonitor(-102, 0, 102, 77)};
  EXPECT_EQ(CheckTheDesktopShowsEachMonitorItsPart(three, TileStart::VirtualScreen),
            192 * 20 + 192 * 16 + 102 * 67);
}

TEST(MonitorLayout, OnWindows7TheTilingStartsAtThePrimaryAndNegativeCoordinatesWrap) {
  // Left and above the primary: the second screen wraps to the bitmap's right edge and is cut
  // in two at its bottom.
  const std::vector<MonitorArea> leftAndUp = {testing::TestMonitor(0, 0, 192, 108, "", true),
                                              testing::TestMonitor(-128, -20, 128, 102)};
  const ComposedLayout wrapped = ComposeLayout(leftAndUp, TileStart::PrimaryMonitor);
  EXPECT_EQ(wrapped.places[0], (PictureRect{0, 0, 192, 108}));
  EXPECT_EQ(wrapped.places[1], (PictureRect{192, 108, 128, 102}));
  const std::vector<PictureRect> parts = WrappedParts(wrapped, wrapped.places[1]);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0], (PictureRect{192, 108, 128, 20}));
  EXPECT_EQ(parts[1], (PictureRect{192, 0, 128, 82}));
  CheckTheDesktopShowsEachMonitorItsPart(leftAndUp, TileStart::PrimaryMonitor);

  // A screen above that starts left of the primary: cut at the wrap column too.
  const std::vector<MonitorArea> straddling = {testing::TestMonitor(0, 0, 192, 108, "", true),
                                               testing::TestMonitor(-50, -108, 192, 108),
                                               testing::TestMonitor(192, -30, 64, 64)};
  const ComposedLayout cut = ComposeLayout(straddling, TileStart::PrimaryMonitor);
  EXPECT_EQ(WrappedParts(cut, cut.places[1]).size(), 2u);
  CheckTheDesktopShowsEachMonitorItsPart(straddling, TileStart::PrimaryMonitor);
  CheckTheDesktopShowsEachMonitorItsPart(straddling, TileStart::VirtualScreen);
}

TEST(MonitorLayout, ScreensKeepTheirPicturesByPathWhenTheirOrderChanges) {
  const std::vector<MonitorArea> before = {
      testing::TestMonitor(0, 0, 1920, 1080, "\\\\?\\DISPLAY#A", true),
      testing::TestMonitor(1920, 0, 1280, 1024, "\\\\?\\DISPLAY#B"),
      testing::TestMonitor(-1280, 0, 1280, 1024, "\\\\?\\DISPLAY#C")};
  // The primary first, then from left to right.
  EXPECT_EQ(ScreenOrder(before), (std::vector<int>{0, 2, 1}));
  const std::vector<MonitorPicture> shown = {
      {"\\\\?\\DISPLAY#A", "a.jpg"}, {"\\\\?\\DISPLAY#B", "b.jpg"}, {"\\\\?\\DISPLAY#C", "c.jpg"}};

  // Renumbered, C unplugged, D new: A and B keep theirs, D takes the one C left.
  const std::vector<MonitorArea> after = {
      testing::TestMonitor(1920, 0, 1280, 1024, "\\\\?\\DISPLAY#B"),
      testing::TestMonitor(0, 0, 1920, 1080, "\\\\?\\DISPLAY#A", true),
      testing::TestMonitor(0, -1024, 1280, 1024, "\\\\?\\DISPLAY#D")};
  EXPECT_EQ(PicturesForMonitors(shown, after),
            (std::vector<std::string>{"b.jpg", "a.jpg", "c.jpg"}));
  // More new screens than pictures left: E, further left, comes first; D then takes the first
  // picture again.
  std::vector<MonitorArea> more = after;
  more.push_back(testing::TestMonitor(-1280, 0, 1280, 1024, "\\\\?\\DISPLAY#E"));
  EXPECT_EQ(PicturesForMonitors(shown, more),
            (std::vector<std::string>{"b.jpg", "a.jpg", "a.jpg", "c.jpg"}));
  // One picture for all (the same picture everywhere, or none recorded by path).
  EXPECT_EQ(PicturesForMonitors({{"", "day.jpg"}}, after),
            (std::vector<std::string>{"day.jpg", "day.jpg", "day.jpg"}));
}

}  // namespace
}  // namespace dova
