#include "wallpaper/resample.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/error.h"

namespace dova {
namespace {

// --- the plain algorithm, one value at a time, as the reference for the vectorised one ---------

struct Contributor {
  int pixel;
  float weight;
};

int ReferenceMirror(int j, int size) {
  while (j < 0 || j >= size) j = j < 0 ? -j : size - j + size - 1;
  return j;
}

std::vector<std::vector<Contributor>> ReferenceLists(int size, int target, FilterFunction filter,
                                                    float support) {
  float scale;
  if (size == 1) {
    scale = static_cast<float>(target) / 1.0f;
  } else if (target == 1) {
    scale = 1.0f / static_cast<float>(size);
  } else {
    scale = static_cast<float>(target - 1) / static_cast<float>(size - 1);
  }
  std::vector<std::vector<Contributor>> lists(target);
  for (int i = 0; i < target; ++i) {
    float center = static_cast<float>(i) / scale;
    if (target == 1 && size > 1) center = static_cast<float>(size - 1) / 2.0f;
    if (scale < 1.0f) {
      const float width = support / scale;
      const float fscale = 1.0f / scale;
      for (int j = static_cast<int>(std::floor(center - width));
           j <= static_cast<int>(std::ceil(center + width)); ++j) {
        const float weight = filter((center - static_cast<float>(j)) / fscale) / fscale;
        if (weight != 0.0f) lists[i].push_back({ReferenceMirror(j, size), weight});
      }
    } else {
      for (int j = static_cast<int>(std::floor(center - support));
           j <= static_cast<int>(std::ceil(center + support)); ++j) {
        const float weight = filter(center - static_cast<float>(j));
        if (weight != 0.0f) lists[i].push_back({ReferenceMirror(j, size), weight});
      }
    }
  }
  return lists;
}

std::uint8_t ReferenceByte(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  const float down = std::floor(sum);
  int value = static_cast<int>(down);
  const float rest = sum - down;
  if (rest > 0.5f || (rest == 0.5f && value % 2 == 1)) ++value;
  return static_cast<std::uint8_t>(value);
}

// Sums the channels of pixel (step * n) of `line` for each n of `list`.
void ReferencePixel(const std::vector<Contributor>& list, const std::uint8_t* const* lines,
                    int column, std::uint8_t* out) {
  for (int channel = 0; channel < 3; ++channel) {
    float sum = 0.0f;
    for (const Contributor& c : list) {
      const float value = lines[c.pixel][3 * column + channel];
      sum = sum + value * c.weight;
    }
    out[channel] = ReferenceByte(sum);
  }
}

Bitmap ReferenceStrecth(const Bitmap& source, int width, int height, const ResampleFilter& f) {
  const auto columns = ReferenceLists(source.Width(), width, f.filter, f.support);
  const auto rows = ReferenceLists(source.Height(), height, f.filter, f.support);
  Bitmap intermediate(width, source.Height(), 24);
  for (int k = 0; k < source.Height(); ++k) {
    std::vector<const std::uint8_t*> line(source.Width());
    for (int n = 0; n < source.Width(); ++n) line[n] = source.Row(k) + 3 * n;
    for (int i = 0; i < width; ++i) {
      ReferencePixel(columns[i], line.data(), 0, intermediate.Row(k) + 3 * i);
    }
  }
  Bitmap destination(width, height, 24);
  std::vector<const std::uint8_t*> lines(source.Height());
  for (int n = 0; n < source.Height(); ++n) lines[n] = intermediate.Row(n);
  for (int k = 0; k < width; ++k) {
    for (int i = 0; i < height; ++i) {
      ReferencePixel(rows[i], lines.data(), k, destination.Row(i) + 3 * k);
    }
  }
  return destination;
}

// --- helpers -------------------------------------------------------------------------------------

Bitmap RandomPicture(int width, int height, std::uint32_t seed, bool extremes = false) {
  std::mt19937 random(seed);
  Bitmap picture(width, height, 24);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < 3 * width; ++x) {
      const std::uint32_t r = random();
      picture.Row(y)[x] = static_cast<std::uint8_t>(extremes ? ((r & 1) ? 255 : 0) : r & 0xff);
    }
  }
  return picture;
}

std::vector<std::uint8_t> Pixels(const Bitmap& picture) {
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < picture.Height(); ++y) {
    bytes.insert(bytes.end(), picture.Row(y), picture.Row(y) + 3 * picture.Width());
  }
  return bytes;
}

Bitmap Stretched(const Bitmap& source, int width, int height, const ResampleFilter& f) {
  Bitmap copy = source;
  Bitmap destination(width, height, 24);
  Strecth(copy, destination, f.filter, f.support);
  return destination;
}

// --- behaviour -----------------------------------------------------------------------------------

TEST(StrecthTest, EmptySourceIsRefused) {
  for (auto [w, h] : {std::pair{0, 0}, {5, 0}, {0, 5}}) {
    Bitmap source(w, h, 24);
    Bitmap destination(4, 4, 24);
    destination.Row(0)[0] = 77;
    try {
      Strecth(source, destination, BoxFilter, 0.5f);
      FAIL() << "no error for " << w << "x" << h;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "Source bitmap too small");
    }
    EXPECT_EQ(destination.Row(0)[0], 77);
  }
}

TEST(StrecthTest, PixelFormats) {
  Bitmap grey(3, 2, 8);
  for (int x = 0; x < 3; ++x) grey.Row(0)[x] = grey.Row(1)[x] = static_cast<std::uint8_t>(40 * x);
  Bitmap destination(3, 2, 8);
  Strecth(grey, destination, BoxFilter, 0.5f);
  EXPECT_EQ(grey.BitsPerPixel(), 24);
  ASSERT_EQ(destination.BitsPerPixel(), 24);
  ASSERT_EQ(destination.Width(), 3);
  ASSERT_EQ(destination.Height(), 2);
  for (int x = 0; x < 3; ++x) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(destination.Row(1)[3 * x + c], 40 * x);
  }
  Bitmap empty(0, 0, 24);
  Strecth(grey, empty, MitchellFilter, 2.0f);  // nothing to write, nothing to fail
  EXPECT_TRUE(empty.Empty());
}

TEST(StrecthTest, EqualSizeBoxCopiesTheSource) {
  const Bitmap source = RandomPicture(37, 23, 1);
  EXPECT_EQ(Pixels(Stretched(source, 37, 23, ResampleFilters[0])), Pixels(source));
}

TEST(StrecthTest, TriangleEndColumnsCopyTheEndPixels) {
  const Bitmap source = RandomPicture(640, 3, 2);
  const Bitmap destination = Stretched(source, 1024, 3, ResampleFilters[1]);
  for (int y = 0; y < 3; ++y) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(destination.Row(y)[c], source.Row(y)[c]);
      EXPECT_EQ(destination.Row(y)[3 * 1023 + c], source.Row(y)[3 * 639 + c]);
    }
  }
}

TEST(StrecthTest, OvershootAtASharpEdgeIsClamped) {
  // Black then white: Lanczos3 and Mitchell ring below 0 and above 255 beside the edge.
  Bitmap source(8, 1, 24);
  for (int x = 4; x < 8; ++x) source.Row(0)[3 * x] = source.Row(0)[3 * x + 1] = 255;
  for (int index : {5, 6}) {
    const ResampleFilter& f = ResampleFilters[index];
    const auto lists = ReferenceLists(8, 29, f.filter, f.support);
    const Bitmap destination = Stretched(source, 29, 1, f);
    int below = 0, above = 0;
    for (int i = 0; i < 29; ++i) {
      float sum = 0.0f;
      for (const Contributor& c : lists[i]) sum += source.Row(0)[3 * c.pixel] * c.weight;
      if (sum < -0.5f) {
        ++below;
        EXPECT_EQ(destination.Row(0)[3 * i], 0) << f.name << " column " << i;
      }
      if (sum > 255.5f) {
        ++above;
        EXPECT_EQ(destination.Row(0)[3 * i], 255) << f.name << " column " << i;
      }
      EXPECT_EQ(destination.Row(0)[3 * i + 2], 0);  // red was 0 throughout
    }
    EXPECT_GT(below, 0) << f.name;
    EXPECT_GT(above, 0) << f.name;
  }
}

TEST(StrecthTest, HalfwaySumsRoundToEven) {
  // 2 -> 3 pixels with the Triangle: the middle pixel is half of each source pixel.
  Bitmap source(2, 1, 24);
  const std::uint8_t left[3] = {2, 3, 0}, right[3] = {3, 4, 1};
  for (int c = 0; c < 3; ++c) {
    source.Row(0)[c] = left[c];
    source.Row(0)[3 + c] = right[c];
  }
  const Bitmap destination = Stretched(source, 3, 1, ResampleFilters[1]);
  EXPECT_EQ(destination.Row(0)[3], 2);  // 2.5
  EXPECT_EQ(destination.Row(0)[4], 4);  // 3.5
  EXPECT_EQ(destination.Row(0)[5], 0);  // 0.5
  EXPECT_EQ(destination.Row(0)[0], 2);
  EXPECT_EQ(destination.Row(0)[6], 3);
}

TEST(StrecthTest, MirroredEdgesWithTheBox) {
  // 4 -> 2 with the Box: column 1 takes pixels 2, 3 and 3 again (index 4 mirrored), a third each.
  Bitmap source(4, 1, 24);
  const int values[4] = {30, 60, 90, 150};
  for (int x = 0; x < 4; ++x) source.Row(0)[3 * x] = static_cast<std::uint8_t>(values[x]);
  const Bitmap destination = Stretched(source, 2, 1, ResampleFilters[0]);
  EXPECT_EQ(destination.Row(0)[0], 50);   // (60 + 30 + 60) / 3
  EXPECT_EQ(destination.Row(0)[3], 130);  // (90 + 150 + 150) / 3
}

TEST(StrecthTest, OnePixelDestinationAveragesTheSource) {
  Bitmap source(6, 4, 24);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) source.Row(y)[3 * x + 1] = static_cast<std::uint8_t>(x < 3 ? 0 : 200);
  }
  const Bitmap destination = Stretched(source, 1, 1, ResampleFilters[0]);
  EXPECT_EQ(destination.Row(0)[1], 100);
  EXPECT_EQ(destination.Row(0)[0], 0);
}

TEST(StrecthTest, OneRowAndOnePixelSources) {
  // A single pixel spreads evenly; the Lanczos3 weights of whole-pixel shifts add up to about
  // 1 only (they are not normalised), hence the allowance of 2 %.
  const Bitmap dot = RandomPicture(1, 1, 3);
  for (const ResampleFilter& f : ResampleFilters) {
    const Bitmap big = Stretched(dot, 7, 5, f);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 7; ++x) {
        for (int c = 0; c < 3; ++c) {
          EXPECT_NEAR(big.Row(y)[3 * x + c], dot.Row(0)[c], 1 + dot.Row(0)[c] / 50) << f.name;
        }
      }
    }
  }
  const Bitmap row = RandomPicture(40, 1, 4);
  const Bitmap tall = Stretched(row, 40, 9, ResampleFilters[0]);
  for (int y = 0; y < 9; ++y) EXPECT_EQ(Pixels(Stretched(row, 40, 1, ResampleFilters[0])),
                                        std::vector<std::uint8_t>(tall.Row(y), tall.Row(y) + 120));
}

// --- the vectorised passes against the plain algorithm --------------------------------------------

TEST(StrecthTest, BitIdenticalToThePlainAlgorithm) {
  struct Case {
    int sw, sh, dw, dh;
  };
  const Case cases[] = {
      {13, 9, 40, 31},    // enlarging
      {97, 61, 23, 17},   // shrinking
      {50, 20, 80, 7},    // wider but lower
      {21, 44, 6, 90},    // narrower but higher
      {33, 17, 33, 17},   // equal
      {1, 1, 5, 4},       // one pixel
      {2, 3, 17, 11},     // smaller than most filters' reach
      {3, 1, 9, 4},       // one row
      {1, 6, 4, 13},      // one column
      {40, 30, 1, 1},     // one-pixel destinations
      {40, 30, 1, 20},
      {40, 30, 25, 1},
      {301, 203, 640, 97},
      {256, 2, 5, 1},
  };
  std::uint32_t seed = 10;
  for (const Case& c : cases) {
    for (bool extremes : {false, true}) {
      const Bitmap source = RandomPicture(c.sw, c.sh, ++seed, extremes);
      for (const ResampleFilter& f : ResampleFilters) {
        EXPECT_EQ(Pixels(Stretched(source, c.dw, c.dh, f)),
                  Pixels(ReferenceStrecth(source, c.dw, c.dh, f)))
            << f.name << " " << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh;
      }
    }
  }
}

TEST(StrecthTest, SameBitsOnEverySystem) {
  // Fingerprints of results made by this code built natively and for Windows, at -O0 and -O3:
  // any system or build that sums, rounds or weighs differently changes them.
  const std::uint64_t expected[7] = {
      0x66a6af535c0aa2abull, 0x60b092a63257b375ull, 0x5577c7434047c3e8ull, 0xf8274a5ca2e945e6ull,
      0x9333a25aeeb552c3ull, 0x5dccb8383c2a2758ull, 0x58d2d3f9fab79173ull};
  const Bitmap source = RandomPicture(97, 61, 2024);
  for (int f = 0; f < 7; ++f) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (std::uint8_t byte : Pixels(Stretched(source, 150, 40, ResampleFilters[f]))) {
      hash = (hash ^ byte) * 1099511628211ull;
    }
    EXPECT_EQ(hash, expected[f]) << ResampleFilters[f].name << " 0x" << std::hex << hash;
  }
}

TEST(StrecthTest, UnaffectedByTheThreadsRoundingMode) {
  // Some DLLs leave the SSE unit rounding toward zero or flushing denormals; the results must
  // not change, and the caller's setting must come back.
  const Bitmap source = RandomPicture(41, 29, 7);
  const Bitmap expected = Stretched(source, 64, 17, ResampleFilters[6]);
  const unsigned int saved = _mm_getcsr();
  const unsigned int odd = (saved & ~0x6000u) | 0x6000u | 0x8040u;  // toward zero, FTZ, DAZ
  _mm_setcsr(odd);
  const Bitmap result = Stretched(source, 64, 17, ResampleFilters[6]);
  const unsigned int after = _mm_getcsr();
  _mm_setcsr(saved);
  EXPECT_EQ(after & ~0x3Fu, odd & ~0x3Fu);  // the exception flags may differ
  EXPECT_EQ(Pixels(result), Pixels(expected));
}

TEST(StrecthTest, ManyContributorsInGroups) {
  // A very wide, one-row destination from a tall source needs more intermediate rows at once
  // than the row cache keeps: they are summed in groups, still in order.
  const Bitmap source = RandomPicture(5, 400, 99);
  for (int index : {0, 5}) {
    const ResampleFilter& f = ResampleFilters[index];
    EXPECT_EQ(Pixels(Stretched(source, 20000, 1, f)),
              Pixels(ReferenceStrecth(source, 20000, 1, f)))
        << f.name;
  }
}

}  // namespace
}  // namespace dova
