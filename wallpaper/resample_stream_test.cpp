#include "wallpaper/resample_stream.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/error.h"

namespace dova {
namespace {

Bitmap RandomPicture(int width, int height, int bitsPerPixel, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bitmap picture(width, height, bitsPerPixel);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * picture.BytesPerPixel(); ++x) {
      picture.Row(y)[x] = static_cast<std::uint8_t>(random());
    }
  }
  return picture;
}

std::vector<std::uint8_t> Pixels(const Bitmap& picture) {
  std::vector<std::uint8_t> bytes;
  const int rowBytes = picture.Width() * picture.BytesPerPixel();
  for (int y = 0; y < picture.Height(); ++y) {
    bytes.insert(bytes.end(), picture.Row(y), picture.Row(y) + rowBytes);
  }
  return bytes;
}

// Rows of `picture` handed out in order, as a decoder gives them; counts what was asked for.
struct PictureSource {
  explicit PictureSource(const Bitmap& picture) : picture(picture) {
    source.width = picture.Width();
    source.height = picture.Height();
    source.bitsPerPixel = picture.BitsPerPixel();
    source.read = [this](std::uint8_t* const* rows, int count) {
      const std::size_t bytes = static_cast<std::size_t>(this->picture.Width()) *
                                this->picture.BytesPerPixel();
      for (int r = 0; r < count; ++r) {
        ASSERT_LT(next, this->picture.Height());
        std::memcpy(rows[r], this->picture.Row(next++), bytes);
      }
    };
  }
  const Bitmap& picture;
  int next = 0;
  RowSource source;
};

// Bands collected into a destination bitmap; every row must come exactly once.
struct PictureSink {
  PictureSink(int width, int height) : picture(width, height, 24), seen(height, 0) {
    sink.stride = (3 * static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
    sink.write = [this](int first, int count, const std::uint8_t* band) {
      const std::lock_guard<std::mutex> lock(mutex);
      for (int i = 0; i < count; ++i) {
        const int y = first + count - 1 - i;  // bottom-up
        ASSERT_EQ(seen[y]++, 0) << "row " << y << " twice";
        const std::uint8_t* row = band + i * sink.stride;
        std::memcpy(picture.Row(y), row, 3 * static_cast<std::size_t>(picture.Width()));
        for (std::size_t p = 3 * picture.Width(); p < sink.stride; ++p) ASSERT_EQ(row[p], 0);
      }
    };
  }
  Bitmap picture;
  std::vector<int> seen;
  std::mutex mutex;
  BandSink sink;
};

Bitmap Streamed(const Bitmap& source, int width, int height, const ResampleFilter& f,
                int threads) {
  PictureSource rows(source);
  PictureSink out(width, height);
  ResampleStream(rows.source, width, height, f, out.sink, threads);
  EXPECT_EQ(rows.next, source.Height()) << "every source row read once";
  for (int y = 0; y < height; ++y) EXPECT_EQ(out.seen[y], 1) << "row " << y;
  return std::move(out.picture);
}

Bitmap Stretched(const Bitmap& source, int width, int height, const ResampleFilter& f) {
  Bitmap copy = source;
  Bitmap destination(width, height, 24);
  Strecth(copy, destination, f.filter, f.support);
  return destination;
}

TEST(ResampleStreamTest, SameBitsAsStrecthForEveryFilterSizeAndThreadCount) {
  struct Case {
    int sw, sh, dw, dh, bits;
  };
  const Case cases[] = {
      {13, 9, 40, 31, 24},     // enlarging
      {97, 61, 23, 17, 24},    // shrinking
      {50, 20, 80, 7, 24},     // wider but lower
      {21, 44, 6, 90, 24},     // narrower but higher
      {33, 17, 33, 17, 24},    // equal
      {1, 1, 5, 4, 24},        // one pixel
      {2, 3, 17, 11, 24},      // smaller than most filters' reach
      {3, 1, 9, 4, 24},        // one row
      {1, 6, 4, 13, 24},       // one column
      {40, 30, 1, 1, 24},      // one-pixel destinations
      {40, 30, 25, 1, 24},
      {301, 203, 640, 97, 8},  // grey
      {211, 333, 150, 77, 24},
      {120, 700, 64, 500, 24},  // many chunks and bands, the rings go round
      {90, 1000, 31, 13, 8},    // a long window
  };
  std::uint32_t seed = 40;
  for (const Case& c : cases) {
    const Bitmap source = RandomPicture(c.sw, c.sh, c.bits, ++seed);
    for (const ResampleFilter& f : ResampleFilters) {
      const std::vector<std::uint8_t> expected = Pixels(Stretched(source, c.dw, c.dh, f));
      for (int threads : {1, 2, 3, 8}) {
        ASSERT_EQ(Pixels(Streamed(source, c.dw, c.dh, f, threads)), expected)
            << f.name << " " << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << ", "
            << threads << " threads";
      }
    }
  }
}

TEST(ResampleStreamTest, SameBitsRunAfterRun) {
  // The threads take the tasks in a different order each run; the result never changes.
  const Bitmap source = RandomPicture(640, 480, 24, 7);
  const Bitmap expected = Stretched(source, 1024, 300, ResampleFilters[5]);
  for (int run = 0; run < 20; ++run) {
    ASSERT_EQ(Pixels(Streamed(source, 1024, 300, ResampleFilters[5], 2 + run % 4)),
              Pixels(expected))
        << "run " << run;
  }
}

TEST(ResampleStreamTest, UnaffectedByTheCallersRoundingMode) {
  // A DLL may leave the SSE unit rounding toward zero and flushing denormals; the weights, the
  // sums and every thread's share must not change, and the caller's setting must come back.
  const Bitmap source = RandomPicture(141, 99, 24, 8);
  const Bitmap expected = Stretched(source, 77, 160, ResampleFilters[6]);
  const unsigned int saved = _mm_getcsr();
  const unsigned int odd = (saved & ~0x6000u) | 0x6000u | 0x8040u;  // toward zero, FTZ, DAZ
  for (int threads : {1, 3}) {
    _mm_setcsr(odd);
    const Bitmap result = Streamed(source, 77, 160, ResampleFilters[6], threads);
    const unsigned int after = _mm_getcsr();
    _mm_setcsr(saved);
    EXPECT_EQ(after & ~0x3Fu, odd & ~0x3Fu);  // the exception flags may differ
    EXPECT_EQ(Pixels(result), Pixels(expected)) << threads << " threads";
  }
}

TEST(ResampleStreamTest, TellsWhenAStreamWouldHoldTooManyRows) {
  // A screen from any picture streams; squeezing thousands of rows into a few does not.
  EXPECT_TRUE(CanResampleAsStream(6000, 4000, 3840, 2160, ResampleFilters[5]));
  EXPECT_TRUE(CanResampleAsStream(32768, 3600, 640, 480, ResampleFilters[5]));
  EXPECT_TRUE(CanResampleAsStream(100, 100, 20000, 20000, ResampleFilters[5]));
  EXPECT_FALSE(CanResampleAsStream(8000, 30000, 8000, 3, ResampleFilters[5]));
  EXPECT_FALSE(CanResampleAsStream(0, 10, 10, 10, ResampleFilters[0]));
}

TEST(ResampleStreamTest, AFailureStopsEveryThread) {
  const Bitmap source = RandomPicture(200, 400, 24, 9);
  for (int threads : {1, 2, 4}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    {
      PictureSource rows(source);
      const auto read = rows.source.read;
      rows.source.read = [&](std::uint8_t* const* out, int count) {
        if (rows.next >= 150) throw Error("broken at row 150");
        read(out, count);
      };
      PictureSink out(300, 300);
      try {
        ResampleStream(rows.source, 300, 300, ResampleFilters[6], out.sink, threads);
        FAIL() << "no error";
      } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "broken at row 150");
      }
    }
    {
      PictureSource rows(source);
      PictureSink out(300, 300);
      std::atomic<int> bands{0};
      const auto write = out.sink.write;
      out.sink.write = [&](int first, int count, const std::uint8_t* band) {
        if (++bands == 5) throw std::runtime_error("disk full");
        write(first, count, band);
      };
      EXPECT_THROW(ResampleStream(rows.source, 300, 300, ResampleFilters[6], out.sink, threads),
                   std::runtime_error);
    }
  }
}

TEST(ResampleStreamTest, StopsWhenCancelled) {
  const Bitmap source = RandomPicture(300, 300, 24, 11);
  for (int threads : {1, 3}) {
    CancelFlag cancel{false};
    PictureSource rows(source);
    const auto read = rows.source.read;
    rows.source.read = [&](std::uint8_t* const* out, int count) {
      if (rows.next >= 100) cancel = true;
      read(out, count);
    };
    PictureSink out(200, 200);
    EXPECT_THROW(
        ResampleStream(rows.source, 200, 200, ResampleFilters[5], out.sink, threads, &cancel),
        ConversionCancelled);
    EXPECT_LT(rows.next, 300) << threads << " threads: stopped before the end";

    PictureSource untouched(source);
    EXPECT_THROW(ResampleStream(untouched.source, 200, 200, ResampleFilters[5], out.sink,
                                threads, &cancel),
                 ConversionCancelled);
    EXPECT_EQ(untouched.next, 0);
  }
}

TEST(ResampleStreamTest, EmptySourceIsRefused) {
  Bitmap empty(0, 5, 24);
  PictureSource rows(empty);
  PictureSink out(4, 4);
  try {
    ResampleStream(rows.source, 4, 4, ResampleFilters[0], out.sink, 2);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Source bitmap too small");
  }
}

}  // namespace
}  // namespace dova
