#include "wallpaper/placement.h"

#include <gtest/gtest.h>

namespace dova {
namespace {

TEST(Placement, FillCutsEqualStripsAndFitLeavesEqualMargins) {
  // A 4:3 picture on a 16:9 screen: Fill keeps the middle 900 of its 1200 rows, Fit shows it
  // 1440 wide with 240 columns on either side.
  EXPECT_EQ(FillCrop(1600, 1200, 1920, 1080), (PictureRect{0, 150, 1600, 900}));
  EXPECT_EQ(FitPlace(1600, 1200, 1920, 1080), (PictureRect{240, 0, 1440, 1080}));
  // A 16:9 picture on a 4:3 screen: Fill keeps the middle 1440 columns, Fit a band of 576 rows.
  EXPECT_EQ(FillCrop(1920, 1080, 1024, 768), (PictureRect{240, 0, 1440, 1080}));
  EXPECT_EQ(FitPlace(1920, 1080, 1024, 768), (PictureRect{0, 96, 1024, 576}));
  // The screen's own shape: nothing cut, nothing left over, whatever the sizes.
  EXPECT_EQ(FillCrop(800, 450, 1920, 1080), (PictureRect{0, 0, 800, 450}));
  EXPECT_EQ(FitPlace(800, 450, 1920, 1080), (PictureRect{0, 0, 1920, 1080}));

  // Sizes round to the nearest pixel; an odd strip leaves the extra pixel on the far side.
  EXPECT_EQ(FillCrop(1001, 700, 1366, 768), (PictureRect{0, 68, 1001, 563}));
  EXPECT_EQ(FitPlace(1001, 700, 1366, 768), (PictureRect{134, 0, 1098, 768}));
  EXPECT_EQ(FitPlace(3, 2, 1366, 768), (PictureRect{107, 0, 1152, 768}));
}

TEST(Placement, ExtremeShapesKeepAtLeastOnePixel) {
  EXPECT_EQ(FitPlace(100000, 1, 1920, 1080), (PictureRect{0, 539, 1920, 1}));
  EXPECT_EQ(FitPlace(1, 100000, 1920, 1080), (PictureRect{959, 0, 1, 1080}));
  EXPECT_EQ(FillCrop(1, 100000, 1920, 1080), (PictureRect{0, 49999, 1, 1}));
  EXPECT_EQ(FillCrop(30000, 30000, 1, 32767), (PictureRect{14999, 0, 1, 30000}));

  const Placement fit = FitPlacement(400, 300, 1920, 1080, 0x123456);
  EXPECT_EQ(fit.source, (PictureRect{0, 0, 400, 300}));
  EXPECT_EQ(fit.canvasWidth, 1920);
  EXPECT_EQ(fit.canvasHeight, 1080);
  EXPECT_EQ(fit.background, 0x123456u);
  const Placement stretch = StretchPlacement(400, 300, 1920, 1080);
  EXPECT_EQ(stretch.target, (PictureRect{0, 0, 1920, 1080}));
  EXPECT_EQ(stretch.source, (PictureRect{0, 0, 400, 300}));
}

}  // namespace
}  // namespace dova
