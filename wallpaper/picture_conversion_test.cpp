// The streamed conversion against the conversion of the whole decoded picture (DecodeJpegFile,
// Strecth, SaveBmpFile): the same file, byte for byte, for real JPEG files, every filter and any
// number of threads.
#include "wallpaper/picture_conversion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/bmp_file.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/jpeg_library.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {
namespace {

using testing::Bytes;

// A photo-like picture: smooth gradients, fine stripes and sharp edges, the same on every run.
Bitmap Scene(int width, int height, int bitsPerPixel) {
  Bitmap picture(width, height, bitsPerPixel);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const double wave = std::sin(x * 0.07) * std::cos(y * 0.05);
      const bool block = ((x / 37) + (y / 29)) % 3 == 0;
      const int value[3] = {
          static_cast<int>(128 + 100 * wave) + static_cast<int>((noise >> 16) % 24),
          block ? 230 : (x * 255) / std::max(1, width - 1),
          (y % 7 < 2) ? 20 : (y * 255) / std::max(1, height - 1)};
      std::uint8_t* p = picture.Row(y) + x * picture.BytesPerPixel();
      for (int c = 0; c < picture.BytesPerPixel(); ++c) {
        p[c] = static_cast<std::uint8_t>(std::min(255, std::max(0, value[c])));
      }
    }
  }
  return picture;
}

struct JpegKind {
  int quality = 90;
  bool subsampled = true;  // 4:2:0, else 4:4:4
  bool progressive = false;
};

// Writes `picture` with libjpeg, as cameras and programs write their files.
void WriteJpeg(const Bitmap& picture, const std::string& path, const JpegKind& kind) {
  std::FILE* file = OpenFile(path, "wb");
  ASSERT_NE(file, nullptr) << path;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  const bool grey = picture.BitsPerPixel() == 8;
  info.image_width = static_cast<JDIMENSION>(picture.Width());
  info.image_height = static_cast<JDIMENSION>(picture.Height());
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kind.quality, TRUE);
  if (!grey && !kind.subsampled) {
    info.comp_info[0].h_samp_factor = 1;
    info.comp_info[0].v_samp_factor = 1;
  }
  if (kind.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(picture.Width()) * info.input_components);
  while (info.next_scanline < info.image_height) {
    const std::uint8_t* in = picture.Row(static_cast<int>(info.next_scanline));
    for (int x = 0; x < picture.Width(); ++x) {
      if (grey) {
        row[x] = in[x];
      } else {
        row[3 * x] = in[3 * x + 2];
        row[3 * x + 1] = in[3 * x + 1];
        row[3 * x + 2] = in[3 * x];
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

// The conversion as it was done before streaming: the whole picture decoded, then resampled,
// then saved.
void ConvertWhole(const std::string& source, const std::string& target, int width, int height,
                  int filter) {
  Bitmap picture = DecodeJpegFile(source);
  if (width == 0) {
    SaveBmpFile(picture, target);
    return;
  }
  Bitmap destination(width, height, 24);
  const ResampleFilter& f = FilterForIndex(filter);
  Strecth(picture, destination, f.filter, f.support);
  SaveBmpFile(destination, target);
}

ConvertOptions Resize(int width, int height, int filter, int threads) {
  ConvertOptions options;
  options.mode = ResizeMode::Program;
  options.screen = {width, height};
  options.filterIndex = filter;
  options.threads = threads;
  return options;
}

class PictureConversionTest : public ::testing::Test {
 protected:
  std::string MakeJpeg(const std::string& name, int width, int height, int bits,
                       const JpegKind& kind) {
    const std::string path = dir_.Native(name + ".jpg");
    WriteJpeg(Scene(width, height, bits), path, kind);
    return path;
  }

  // Converts `source` streamed and whole, and expects the same file.
  void ExpectSameFile(const std::string& source, int width, int height, int filter,
                      const std::vector<int>& threads) {
    const std::string expected = dir_.Native("expected.bmp");
    ConvertWhole(source, expected, width, height, filter);
    const Bytes wanted = testing::ReadBytes(expected);
    ASSERT_GT(wanted.size(), 54u);
    for (int t : threads) {
      const std::string target = dir_.Native("streamed.bmp");
      ASSERT_TRUE(ConvertPicture(source, target, Resize(width, height, filter, t)));
      ASSERT_TRUE(testing::ReadBytes(target) == wanted)
          << source << " -> " << width << "x" << height << ", filter " << filter << ", " << t
          << " threads";
    }
  }

  testing::TempDir dir_;
};

TEST_F(PictureConversionTest, SameFileAsTheWholePictureForEveryFilterAndThreadCount) {
  struct Picture {
    const char* name;
    int width, height, bits;
    JpegKind kind;
  };
  const Picture pictures[] = {
      {"camera-420", 613, 401, 24, {85, true, false}},
      {"progressive-444", 256, 300, 24, {95, false, true}},
      {"grey", 317, 211, 8, {90, true, false}},
  };
  for (const Picture& p : pictures) {
    const std::string source = MakeJpeg(p.name, p.width, p.height, p.bits, p.kind);
    const int sizes[][2] = {
        {p.width * 11 / 20, p.height * 3 / 5},    // shrinking
        {p.width * 17 / 10, p.height * 13 / 10},  // enlarging
        {p.width * 7 / 5, p.height / 2},          // wider but lower
    };
    for (const auto& size : sizes) {
      for (int filter = 0; filter < 7; ++filter) {
        ExpectSameFile(source, size[0], size[1], filter, {1, 2, 3, 4});
      }
    }
  }
}

TEST_F(PictureConversionTest, SameFileForAPhotoToAScreen) {
  // Large enough for the rings of rows to go round many times on every thread.
  const std::string source = MakeJpeg("photo", 1920, 1280, 24, JpegKind{});
  for (int filter : {0, 5, 6}) ExpectSameFile(source, 1366, 768, filter, {1, 2, 4});
  ExpectSameFile(source, 2560, 1440, 5, {1, 3});
}

TEST_F(PictureConversionTest, SameFileForPicturesMadeByImageMagick) {
  if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  struct Picture {
    const char* name;
    std::string arguments;
  };
  const Picture pictures[] = {
      {"plasma-422", testing::PlasmaSource(400, 300) + " -quality 80 -sampling-factor 2x1"},
      {"cmyk", testing::PlasmaSource(301, 203) + " -colorspace CMYK"},
      {"grey-progressive", testing::PlasmaSource(250, 190) + " -colorspace Gray -interlace JPEG"},
  };
  for (const Picture& p : pictures) {
    const std::string source = dir_.Native(std::string(p.name) + ".jpg");
    testing::Convert(p.arguments, source);
    for (int filter : {1, 5, 6}) ExpectSameFile(source, 347, 222, filter, {1, 2, 3});
  }
}

TEST(ConversionThreadsTest, OneAProcessorUnlessToldOtherwise) {
  const unsigned processors = std::thread::hardware_concurrency();
  EXPECT_EQ(ConversionThreads(0), processors == 0 ? 1 : static_cast<int>(processors));
  EXPECT_EQ(ConversionThreads(-1), ConversionThreads(0));
  EXPECT_EQ(ConversionThreads(1), 1);
  EXPECT_EQ(ConversionThreads(3), 3);
}

TEST_F(PictureConversionTest, ExtremeShrinkingGivesTheSameFileToo) {
  // Thousands of rows into two: more rows at once than a stream keeps, resampled whole.
  const std::string source = MakeJpeg("tall", 120, 3000, 24, JpegKind{});
  ExpectSameFile(source, 90, 2, 5, {1, 2});
}

TEST_F(PictureConversionTest, WithoutResizingTheFileHoldsThePictureAsDecoded) {
  struct Picture {
    const char* name;
    int width, height, bits;
  };
  // Odd widths: rows padded to four bytes.
  const Picture pictures[] = {{"colour", 333, 250, 24}, {"grey", 201, 77, 8}, {"tiny", 1, 1, 24}};
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.name);
    const std::string source = MakeJpeg(p.name, p.width, p.height, p.bits, JpegKind{});
    const std::string expected = dir_.Native("expected.bmp");
    ConvertWhole(source, expected, 0, 0, 0);
    const Bytes wanted = testing::ReadBytes(expected);

    ConvertOptions windows;  // "let Windows resize"
    windows.screen = {1024, 768};
    const std::string target = dir_.Native("target.bmp");
    ASSERT_TRUE(ConvertPicture(source, target, windows));
    EXPECT_TRUE(testing::ReadBytes(target) == wanted);
    // Resizing to the picture's own size, or to a screen of no size, leaves it as it is.
    ASSERT_TRUE(ConvertPicture(source, target, Resize(p.width, p.height, 5, 2)));
    EXPECT_TRUE(testing::ReadBytes(target) == wanted);
    ASSERT_TRUE(ConvertPicture(source, target, Resize(0, 0, 5, 2)));
    EXPECT_TRUE(testing::ReadBytes(target) == wanted);
  }
}

TEST_F(PictureConversionTest, AMissingOrBrokenPictureLeavesNoFile) {
  const std::string target = dir_.Native("wallpaper1.bmp");
  EXPECT_FALSE(ConvertPicture(dir_.Native("missing.jpg"), target, Resize(800, 600, 5, 2)));
  EXPECT_FALSE(FileExists(target));

  // A progressive file that repeats its last scan beyond the decoder's limit fails only when
  // its decoding starts, after the target was created.
  const Bytes progressive =
      testing::ReadBytes(MakeJpeg("progressive", 64, 48, 24, JpegKind{90, true, true}));
  const std::size_t last = testing::FindLastMarker(progressive, 0xDA);
  const std::size_t end = testing::FindLastMarker(progressive, 0xD9);
  ASSERT_NE(last, std::string::npos);
  Bytes bomb(progressive.begin(), progressive.begin() + end);
  for (int i = 0; i < 600; ++i)
    bomb.insert(bomb.end(), progressive.begin() + last, progressive.begin() + end);
  bomb.push_back(0xFF);
  bomb.push_back(0xD9);
  const std::string broken = dir_.Native("broken.jpg");
  testing::WriteBytes(broken, bomb);
  for (const ConvertOptions& options : {Resize(800, 600, 5, 2), ConvertOptions()}) {
    try {
      ConvertPicture(broken, target, options);
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find("scans"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(FileExists(target));
  }
}

TEST_F(PictureConversionTest, CancelledBeforeOrDuringTheWorkLeavesNoFile) {
  // A progressive file is read whole before its first row comes out, a baseline one row by row:
  // the work is stopped inside the library and between rows.
  const std::string baseline = MakeJpeg("large", 4000, 3000, 24, JpegKind{});
  const std::string progressive =
      MakeJpeg("large-progressive", 3000, 2000, 24, JpegKind{90, true, true});
  const std::string target = dir_.Native("wallpaper2.bmp");
  for (const std::string& source : {baseline, progressive}) {
    for (bool resize : {true, false}) {
      for (int threads : {1, 2}) {
        SCOPED_TRACE(source + (resize ? " resized, " : " own size, ") + std::to_string(threads) +
                     " threads");
        ConvertOptions options = Resize(resize ? 1920 : 0, resize ? 1080 : 0, 5, threads);
        CancelFlag cancel{true};
        options.cancel = &cancel;
        EXPECT_THROW(ConvertPicture(source, target, options), ConversionCancelled);
        EXPECT_FALSE(FileExists(target));

        // Stopped from another thread as soon as the work has begun writing. A busy machine
        // may let a conversion end before the flag is seen: then it is tried again.
        bool cancelled = false;
        for (int attempt = 0; attempt < 3 && !cancelled; ++attempt) {
          cancel = false;
          std::thread worker([&] {
            try {
              ConvertPicture(source, target, options);
            } catch (const ConversionCancelled&) {
              cancelled = true;
            }
          });
          const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          while (!FileExists(target + ".new") && !FileExists(target) &&
                 std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
          }
          cancel = true;
          worker.join();
          EXPECT_EQ(FileExists(target), !cancelled);
          RemoveFile(target);
        }
        EXPECT_TRUE(cancelled);
      }
    }
  }
}

// --- Fill and Fit --------------------------------------------------------------------------------

// The placed picture as the formulas say it: the decoded picture's part, resampled whole with
// Strecth (or copied at its own size), on a canvas of the background colour.
Bytes PlacedReference(const std::string& source, const Placement& p, int filter) {
  const Bitmap picture = DecodeJpegFile(source);
  Bitmap part(p.source.width, p.source.height, picture.BitsPerPixel());
  for (int y = 0; y < p.source.height; ++y)
    std::memcpy(part.Row(y), picture.Row(p.source.y + y) + p.source.x * picture.BytesPerPixel(),
                static_cast<std::size_t>(p.source.width) * picture.BytesPerPixel());
  Bitmap placed(p.target.width, p.target.height, 24);
  if (p.source.width == p.target.width && p.source.height == p.target.height) {
    part.ConvertTo24Bit();
    placed = part;
  } else {
    const ResampleFilter& f = FilterForIndex(filter);
    Strecth(part, placed, f.filter, f.support);
  }
  Bitmap canvas(p.canvasWidth, p.canvasHeight, 24);
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      std::uint8_t* px = canvas.Row(y) + 3 * x;
      const int px_ = x - p.target.x, py = y - p.target.y;
      if (px_ >= 0 && py >= 0 && px_ < p.target.width && py < p.target.height) {
        std::memcpy(px, placed.Row(py) + 3 * px_, 3);
      } else {
        px[0] = p.background & 0xFF;
        px[1] = (p.background >> 8) & 0xFF;
        px[2] = (p.background >> 16) & 0xFF;
      }
    }
  }
  testing::TempDir dir;
  SaveBmpFile(canvas, dir.Native("reference.bmp"));
  return testing::ReadBytes(dir.Native("reference.bmp"));
}

ConvertOptions Placed(ResizeMode mode, int width, int height, int filter, int threads,
                      PackedRgb colour = 0) {
  ConvertOptions options = Resize(width, height, filter, threads);
  options.mode = mode;
  options.fitColour = colour;
  return options;
}

TEST_F(PictureConversionTest, FillAndFitKeepProportionsForEveryFilterAndThreadCount) {
  const std::string fourByThree = MakeJpeg("four-by-three", 320, 240, 24, JpegKind{});
  const std::string wide = MakeJpeg("sixteen-by-nine", 384, 216, 24, JpegKind{85, false, true});
  const std::string grey = MakeJpeg("grey", 300, 240, 8, JpegKind{});
  struct Case {
    std::string source;
    int width, height;  // the picture's
    int screenWidth, screenHeight;
  };
  const Case cases[] = {
      {fourByThree, 320, 240, 480, 270},  // a 4:3 picture on a 16:9 screen, enlarged
      {fourByThree, 320, 240, 256, 144},  // the same, shrunk
      {wide, 384, 216, 400, 300},         // a 16:9 picture on a 4:3 screen
      {grey, 300, 240, 333, 200},
  };
  const std::string target = dir_.Native("placed.bmp");
  for (const Case& c : cases) {
    for (int filter = 0; filter < 7; ++filter) {
      const Placement fill = FillPlacement(c.width, c.height, c.screenWidth, c.screenHeight);
      const Placement fit =
          FitPlacement(c.width, c.height, c.screenWidth, c.screenHeight, 0x2080C0);
      const Bytes fillWanted = PlacedReference(c.source, fill, filter);
      const Bytes fitWanted = PlacedReference(c.source, fit, filter);
      for (int threads : {1, 2, 3}) {
        ASSERT_TRUE(ConvertPicture(
            c.source, target,
            Placed(ResizeMode::Fill, c.screenWidth, c.screenHeight, filter, threads)));
        ASSERT_TRUE(testing::ReadBytes(target) == fillWanted)
            << "fill " << c.source << " filter " << filter << ", " << threads << " threads";
        ASSERT_TRUE(ConvertPicture(
            c.source, target,
            Placed(ResizeMode::Fit, c.screenWidth, c.screenHeight, filter, threads, 0x2080C0)));
        ASSERT_TRUE(testing::ReadBytes(target) == fitWanted)
            << "fit " << c.source << " filter " << filter << ", " << threads << " threads";
      }
    }
  }

  // The margins are the chosen colour: the 4:3 picture on the 16:9 screen has 60 columns of
  // it on each side (480 - 240 * 480 / 360 = 120).
  ASSERT_TRUE(
      ConvertPicture(fourByThree, target, Placed(ResizeMode::Fit, 480, 270, 5, 2, 0x2080C0)));
  const Bitmap shown = LoadBmpFile(target);
  ASSERT_EQ(shown.Width(), 480);
  ASSERT_EQ(shown.Height(), 270);
  for (int x : {0, 59, 420, 479}) {
    const std::uint8_t* px = shown.Row(135) + 3 * x;
    EXPECT_EQ(px[0], 0xC0);
    EXPECT_EQ(px[1], 0x80);
    EXPECT_EQ(px[2], 0x20);
  }
}

TEST_F(PictureConversionTest, FillAndFitOfAScreenSizedOrScreenShapedPicture) {
  // Of the screen's size: written as it is, grey stays grey, as in the program's stretch.
  const std::string grey = MakeJpeg("grey-screen", 200, 100, 8, JpegKind{});
  const std::string target = dir_.Native("placed.bmp");
  for (ResizeMode mode : {ResizeMode::Fill, ResizeMode::Fit}) {
    ASSERT_TRUE(ConvertPicture(grey, target, Placed(mode, 200, 100, 5, 2)));
    EXPECT_EQ(LoadBmpFile(target).BitsPerPixel(), 8);
  }
  // A picture as wide as the screen and lower: Fit copies its rows between two bands.
  const std::string band = MakeJpeg("band", 200, 60, 24, JpegKind{});
  const Placement fit = FitPlacement(200, 60, 200, 100, 0xFF0000);
  EXPECT_EQ(fit.target, (PictureRect{0, 20, 200, 60}));
  ASSERT_TRUE(ConvertPicture(band, target, Placed(ResizeMode::Fit, 200, 100, 5, 2, 0xFF0000)));
  EXPECT_TRUE(testing::ReadBytes(target) == PlacedReference(band, fit, 5));
  // Shrunk to a few rows, the part goes through the whole-picture resampling.
  const std::string tall = MakeJpeg("tall", 90, 1200, 24, JpegKind{});
  const Placement fitTall = FitPlacement(90, 1200, 300, 8, 0);
  ASSERT_TRUE(ConvertPicture(tall, target, Placed(ResizeMode::Fit, 300, 8, 6, 2)));
  EXPECT_TRUE(testing::ReadBytes(target) == PlacedReference(tall, fitTall, 6));
}

TEST_F(PictureConversionTest, FillRefusesADamagedPictureEvenWhereItIsCutAway) {
  // The damage is in the rows Fill cuts off; the picture is refused all the same.
  const std::string source = MakeJpeg("whole", 200, 400, 24, JpegKind{});
  Bytes bytes = testing::ReadBytes(source);
  bytes.resize(bytes.size() * 9 / 10);
  const std::string cut = dir_.Native("cut.jpg");
  testing::WriteBytes(cut, bytes);
  const std::string target = dir_.Native("placed.bmp");
  EXPECT_THROW(ConvertPicture(cut, target, Placed(ResizeMode::Fill, 400, 200, 5, 2)), Error);
  EXPECT_FALSE(FileExists(target));
}

}  // namespace
}  // namespace dova
