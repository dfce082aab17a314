#include "wallpaper/resample_contributors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "wallpaper/resample.h"

namespace dova {
namespace {

TEST(ResampleFilterTest, ValuesAtWholeAndHalfDistances) {
  struct Point {
    FilterFunction filter;
    float x;
    float expected;
  };
  const Point points[] = {
      {BoxFilter, 0.0f, 1.0f},        {BoxFilter, 0.5f, 1.0f},  // closed at +0.5
      {BoxFilter, -0.5f, 0.0f},                                 // open at -0.5
      {BoxFilter, 0.49f, 1.0f},       {BoxFilter, -0.49f, 1.0f}, {BoxFilter, 0.51f, 0.0f},
      {TriangleFilter, 0.0f, 1.0f},   {TriangleFilter, 0.5f, 0.5f},
      {TriangleFilter, -0.25f, 0.75f}, {TriangleFilter, 1.0f, 0.0f},
      {HermiteFilter, 0.0f, 1.0f},    {HermiteFilter, 0.5f, 0.5f},
      {HermiteFilter, -0.25f, 0.84375f}, {HermiteFilter, 1.0f, 0.0f},
      {BellFilter, 0.0f, 0.75f},      {BellFilter, 0.5f, 0.5f},  {BellFilter, -1.0f, 0.125f},
      {BellFilter, 1.5f, 0.0f},
      {SplineFilter, 0.0f, 2.0f / 3.0f}, {SplineFilter, 1.0f, 1.0f / 6.0f},
      {SplineFilter, -1.5f, 1.0f / 48.0f}, {SplineFilter, 2.0f, 0.0f},
      {Lanczos3Filter, 0.0f, 1.0f},   {Lanczos3Filter, 3.0f, 0.0f},
      {MitchellFilter, 0.0f, 8.0f / 9.0f}, {MitchellFilter, 1.0f, 1.0f / 18.0f},
      {MitchellFilter, -0.5f, 0.5347222f}, {MitchellFilter, 1.5f, -0.0347222f},
      {MitchellFilter, 2.0f, 0.0f},
  };
  for (const Point& p : points) {
    EXPECT_NEAR(p.filter(p.x), p.expected, 1e-6) << "x = " << p.x;
  }
  // Lanczos3: sin(pi x) / (pi x) * sin(pi x / 3) / (pi x / 3).
  EXPECT_NEAR(Lanczos3Filter(0.5f), 0.6079271f, 1e-6);
  EXPECT_NEAR(Lanczos3Filter(-1.5f), -0.1350949f, 1e-6);
  EXPECT_NEAR(Lanczos3Filter(2.5f), 0.0243171f, 1e-6);
  // Whole distances other than 0 weigh exactly nothing (and are left out of the lists).
  EXPECT_EQ(Lanczos3Filter(1.0f), 0.0f);
  EXPECT_EQ(Lanczos3Filter(-2.0f), 0.0f);
}

TEST(ResampleFilterTest, Lanczos3MatchesTheLibrarySine) {
  // The filter has its own sine (the same on every system); it must agree with the library's.
  const double pi = 3.14159265358979323846;
  for (float x = -3.0f; x <= 3.0f; x += 1.0f / 512) {
    const double a = std::fabs(static_cast<double>(x));
    double expected = 1.0;
    if (a > 0) expected = std::sin(pi * a) / (pi * a) * std::sin(pi * a / 3) / (pi * a / 3);
    if (a >= 3.0) expected = 0.0;
    EXPECT_NEAR(Lanczos3Filter(x), expected, 1e-7) << x;
  }
}

TEST(ResampleFilterTest, SymmetricAndZeroOutsideSupport) {
  for (const ResampleFilter& entry : ResampleFilters) {
    for (float x = 0.0f; x < 4.0f; x += 0.0625f) {
      const bool boxEnd = entry.filter == BoxFilter && x == 0.5f;  // 1 at +0.5, 0 at -0.5
      if (!boxEnd) {
        EXPECT_EQ(entry.filter(x), entry.filter(-x)) << entry.name << " at " << x;
      }
      if (x >= entry.support && !boxEnd) {
        EXPECT_EQ(entry.filter(x), 0.0f) << entry.name << " at " << x;
      }
    }
  }
}

TEST(ResampleFilterTest, TableOrderAndDefault) {
  const char* names[] = {"Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell"};
  const float supports[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
  const FilterFunction functions[] = {BoxFilter,    TriangleFilter, HermiteFilter, BellFilter,
                                      SplineFilter, Lanczos3Filter, MitchellFilter};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(std::string(ResampleFilters[i].name), names[i]);
    EXPECT_EQ(ResampleFilters[i].support, supports[i]);
    EXPECT_EQ(ResampleFilters[i].filter, functions[i]);
    EXPECT_EQ(&FilterForIndex(i), &ResampleFilters[i]);
  }
  EXPECT_EQ(&FilterForIndex(-1), &ResampleFilters[6]);
  EXPECT_EQ(&FilterForIndex(7), &ResampleFilters[6]);
  EXPECT_EQ(&FilterForIndex(1000), &ResampleFilters[6]);
}

TEST(ResampleContributorsTest, ScaleAndCentres) {
  EXPECT_EQ(ResampleScale(640, 1024), 1023.0f / 639.0f);
  // The end columns of a 640 -> 1024 stretch sit exactly on the end pixels.
  const float scale = ResampleScale(640, 1024);
  EXPECT_EQ(ResampleCenter(0, 640, 1024, scale), 0.0f);
  EXPECT_EQ(ResampleCenter(1023, 640, 1024, scale), 639.0f);
  EXPECT_EQ(ResampleScale(1, 5), 5.0f);
  EXPECT_EQ(ResampleScale(1, 1), 1.0f);
  EXPECT_EQ(ResampleScale(7, 7), 1.0f);
  // A one-pixel destination takes the whole source around its middle.
  EXPECT_EQ(ResampleScale(9, 1), 1.0f / 9.0f);
  EXPECT_EQ(ResampleCenter(0, 9, 1, ResampleScale(9, 1)), 4.0f);
}

TEST(ResampleContributorsTest, MirroringKeepsIndexesInside) {
  EXPECT_EQ(MirrorIndex(-1, 10), 1);
  EXPECT_EQ(MirrorIndex(-3, 10), 3);
  EXPECT_EQ(MirrorIndex(10, 10), 9);  // the far edge repeats its last pixel
  EXPECT_EQ(MirrorIndex(12, 10), 7);
  EXPECT_EQ(MirrorIndex(5, 10), 5);
  // Beyond one mirroring: again mirrored, as often as needed.
  EXPECT_EQ(MirrorIndex(-2, 2), 1);  // -j = 2 is past the end: 2 * 2 - 1 - 2
  EXPECT_EQ(MirrorIndex(3, 2), 0);   // 2 * 2 - 1 - 3
  EXPECT_EQ(MirrorIndex(-3, 2), 0);
  for (int j = -50; j <= 50; ++j) EXPECT_EQ(MirrorIndex(j, 1), 0);
  for (int size = 1; size <= 6; ++size) {
    for (int j = -40; j <= 40; ++j) {
      const int n = MirrorIndex(j, size);
      ASSERT_TRUE(n >= 0 && n < size) << j << " in " << size;
    }
  }
}

TEST(ResampleContributorsTest, EqualSizeBoxListsOnePixelEach) {
  const ContributorTable table = ComputeContributors(25, 25, BoxFilter, 0.5f);
  for (int i = 0; i < 25; ++i) {
    ASSERT_EQ(table.Count(i), 1);
    EXPECT_EQ(table.pixel[table.first[i]], i);
    EXPECT_EQ(table.weight[table.first[i]], 1.0f);
  }
}

TEST(ResampleContributorsTest, EnlargingMirrorsAtBothEdges) {
  // 10 -> 19: scale exactly 2, so column 0 is centred on pixel 0 and column 18 on pixel 9.
  const ContributorTable table = ComputeContributors(10, 19, MitchellFilter, 2.0f);
  ASSERT_EQ(table.Count(0), 3);  // j = -2 and 2 give weight 0 and are left out
  EXPECT_EQ(table.pixel[0], 1);  // j = -1
  EXPECT_EQ(table.pixel[1], 0);
  EXPECT_EQ(table.pixel[2], 1);
  EXPECT_NEAR(table.weight[0], 1.0f / 18.0f, 1e-7);
  EXPECT_NEAR(table.weight[1], 8.0f / 9.0f, 1e-7);
  const int last = table.first[18];
  ASSERT_EQ(table.Count(18), 3);
  EXPECT_EQ(table.pixel[last], 8);
  EXPECT_EQ(table.pixel[last + 1], 9);
  EXPECT_EQ(table.pixel[last + 2], 9);  // j = 10 mirrors onto 9
}

TEST(ResampleContributorsTest, ShrinkingWidensAndLowersTheFilter) {
  // 4 -> 2: scale 1/3, so the Box reaches 1.5 pixels and weighs 1/3 per pixel.
  const ContributorTable table = ComputeContributors(4, 2, BoxFilter, 0.5f);
  ASSERT_EQ(table.Count(1), 3);
  const int f = table.first[1];
  EXPECT_EQ(table.pixel[f], 2);
  EXPECT_EQ(table.pixel[f + 1], 3);
  EXPECT_EQ(table.pixel[f + 2], 3);  // j = 4 mirrored
  for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(table.weight[f + c], 1.0f / 3.0f);
  ASSERT_EQ(table.Count(0), 3);  // j = -1, 0, 1; j = -2 and 2 lie 2/3 away and weigh 0
  EXPECT_EQ(table.pixel[0], 1);
  EXPECT_EQ(table.pixel[1], 0);
  EXPECT_EQ(table.pixel[2], 1);
}

TEST(ResampleContributorsTest, EveryIndexInsideForTinyAndOnePixelSides) {
  for (const ResampleFilter& entry : ResampleFilters) {
    for (int source = 1; source <= 9; ++source) {
      for (int destination : {1, 2, 3, 8, 31}) {
        const ContributorTable table =
            ComputeContributors(source, destination, entry.filter, entry.support);
        ASSERT_EQ(table.first.size(), static_cast<std::size_t>(destination) + 1);
        for (std::size_t k = 0; k < table.pixel.size(); ++k) {
          ASSERT_GE(table.pixel[k], 0);
          ASSERT_LT(table.pixel[k], source);
          ASSERT_NE(table.weight[k], 0.0f);
        }
        // Every destination pixel gets a sensible share of the source: no black pixel from an
        // empty list, no blow-up. (Weights are not normalised: a Box shrinking 9 -> 8 gives
        // 0.875 or 1.75.) A one-pixel destination averages the whole source.
        for (int i = 0; i < destination; ++i) {
          float total = 0.0f;
          for (int k = table.first[i]; k < table.first[i + 1]; ++k) total += table.weight[k];
          EXPECT_TRUE(total > 0.5f && total < 2.0f)
              << entry.name << " " << source << "->" << destination << ": " << total;
          if (destination == 1) {
            EXPECT_NEAR(total, 1.0f, 0.05f) << entry.name << " " << source;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace dova
