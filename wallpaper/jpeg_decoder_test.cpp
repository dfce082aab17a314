#include "wallpaper/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "platform/error.h"
#include "tests/support/test_pictures.h"

namespace dova {
namespace {

using testing::Bytes;

// 16x8 pixels, red at the top fading to blue at the bottom (cjpeg -quality 60 -optimize, 4:2:0).
const Bytes kSmallJpeg = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x0D, 0x09, 0x0A, 0x0B, 0x0A, 0x08, 0x0D,
    0x0B, 0x0A, 0x0B, 0x0E, 0x0E, 0x0D, 0x0F, 0x13, 0x20, 0x15, 0x13, 0x12, 0x12, 0x13, 0x27, 0x1C,
    0x1E, 0x17, 0x20, 0x2E, 0x29, 0x31, 0x30, 0x2E, 0x29, 0x2D, 0x2C, 0x33, 0x3A, 0x4A, 0x3E, 0x33,
    0x36, 0x46, 0x37, 0x2C, 0x2D, 0x40, 0x57, 0x41, 0x46, 0x4C, 0x4E, 0x52, 0x53, 0x52, 0x32, 0x3E,
    0x5A, 0x61, 0x5A, 0x50, 0x60, 0x4A, 0x51, 0x52, 0x4F, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x0E, 0x0E,
    0x0E, 0x13, 0x11, 0x13, 0x26, 0x15, 0x15, 0x26, 0x4F, 0x35, 0x2D, 0x35, 0x4F, 0x4F, 0x4F, 0x4F,
    0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F,
    0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F,
    0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0xFF, 0xC0,
    0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x10, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xFF, 0xC4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0xFF, 0xC4, 0x00, 0x16, 0x10, 0x01, 0x01, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x61,
    0xFF, 0xC4, 0x00, 0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x06, 0xFF, 0xC4, 0x00, 0x17, 0x11, 0x00, 0x03, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x15, 0x52,
    0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x91, 0xB3,
    0x4B, 0x34, 0x15, 0xB1, 0x94, 0xC8, 0xCA, 0xCD, 0x68, 0xFF, 0xD9,
};

// Blue, green, red of a pixel.
std::vector<int> PixelAt(const Bitmap& picture, int x, int y) {
  const std::uint8_t* p = picture.Row(y) + x * picture.BytesPerPixel();
  if (picture.BitsPerPixel() == 8) return {p[0]};
  return {p[0], p[1], p[2]};
}

void ExpectNear(const std::vector<int>& actual, const std::vector<int>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 2) << i;
}

std::string DecodeError(const Bytes& bytes, const JpegLimits& limits = JpegLimits()) {
  try {
    DecodeJpegMemory(bytes.data(), bytes.size(), limits);
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

std::string DecodeFileError(const std::string& path, const JpegLimits& limits = JpegLimits()) {
  try {
    DecodeJpegFile(path, limits);
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

int CountScans(const Bytes& jpeg) {
  int scans = 0;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) scans += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
  return scans;
}

class JpegDecoderTest : public ::testing::Test {
 protected:
  std::string MakeJpeg(const std::string& name, const std::string& arguments) {
    const std::string path = dir_.Native(name + ".jpg");
    testing::Convert(arguments, path);
    return path;
  }
  testing::TempDir dir_;
};

TEST_F(JpegDecoderTest, DecodesFromMemoryAndFromFile) {
  const Bitmap picture = DecodeJpegMemory(kSmallJpeg.data(), kSmallJpeg.size());
  ASSERT_EQ(picture.Width(), 16);
  ASSERT_EQ(picture.Height(), 8);
  EXPECT_EQ(picture.BitsPerPixel(), 24);
  ExpectNear(PixelAt(picture, 0, 0), {28, 2, 240});
  ExpectNear(PixelAt(picture, 15, 7), {222, 0, 21});

  const std::string path = dir_.Native("small.jpeg");
  testing::WriteBytes(path, kSmallJpeg);
  const Bitmap fromFile = DecodeJpegFile(path);
  EXPECT_EQ(testing::PackedPixels(fromFile), testing::PackedPixels(picture));
}

// Whatever the bytes, the decoder gives a picture of the size the header claims or an error;
// it never crashes or runs on.
TEST_F(JpegDecoderTest, EveryCutAndEveryDamagedByteEndsInAPictureOrAnError) {
  int pictures = 0, errors = 0;
  const auto check = [&](const Bytes& bytes) {
    try {
      const Bitmap picture = DecodeJpegMemory(bytes.data(), bytes.size());
      EXPECT_FALSE(picture.Empty());
      ++pictures;
    } catch (const Error&) {
      ++errors;
    }
  };
  for (std::size_t size = 0; size <= kSmallJpeg.size(); ++size)
    check(Bytes(kSmallJpeg.begin(), kSmallJpeg.begin() + size));
  for (std::size_t at = 0; at < kSmallJpeg.size(); ++at) {
    for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
      Bytes damaged = kSmallJpeg;
      damaged[at] ^= flip;
      check(damaged);
    }
  }
  // Cut pictures are refused (jpeg_damage_test.cpp); damaged header bytes often still decode.
  EXPECT_GT(pictures, 100);
  EXPECT_GT(errors, 100);
}

TEST_F(JpegDecoderTest, RefusesWhatIsNotAJpegNamingTheFile) {
  const std::string missing = dir_.Native("missing.jpg");
  EXPECT_NE(DecodeFileError(missing).find(missing), std::string::npos);

  struct Case {
    const char* name;
    Bytes bytes;
    const char* reason;
  };
  const std::string text = "GIF89a, or any other file";
  const Case cases[] = {
      {"empty.jpg", {}, "Empty input file"},
      {"text.jpg", Bytes(text.begin(), text.end()), "Not a JPEG file"},
      {"start-only.jpg", {0xFF, 0xD8}, ""},
      {"header-cut.jpg", Bytes(kSmallJpeg.begin(), kSmallJpeg.begin() + 100), ""},
      {"no-frame.jpg", {0xFF, 0xD8, 0xFF, 0xD9}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_.Native(c.name);
    testing::WriteBytes(path, c.bytes);
    const std::string message = DecodeFileError(path);
    EXPECT_NE(message.find("Unable to decode the JPEG picture " + path + ": "), std::string::npos)
        << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    EXPECT_EQ(DecodeError(c.bytes).empty(), false);
  }
  EXPECT_NE(DecodeError({}).find("in memory"), std::string::npos);
  EXPECT_THROW(DecodeJpegMemory(nullptr, 0), Error);
}

class JpegDecoderImageMagickTest : public JpegDecoderTest {
 protected:
  void SetUp() override {
    if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  }
  // A picture made by cjpeg from a plasma image, for the options ImageMagick does not offer.
  std::string MakeWithCjpeg(const std::string& name, const std::string& options) {
    const std::string source = dir_.Native(name + ".ppm");
    testing::Convert(testing::PlasmaSource(97, 61), source);
    const std::string path = dir_.Native(name + ".jpg");
    const std::string command =
        "cjpeg " + options + " -outfile " + testing::Quote(path) + " " + testing::Quote(source);
    EXPECT_EQ(testing::RunCommand(command), 0) << command;
    return path;
  }
};

TEST_F(JpegDecoderImageMagickTest, DecodesEveryKindOfPictureAsImageMagickDoes) {
  const std::string plasma = testing::PlasmaSource(97, 61);
  struct Case {
    const char* name;
    std::string arguments;
    bool grey;
  };
  const Case cases[] = {
      {"baseline-444", plasma + " -quality 92", false},
      {"baseline-420", plasma + " -quality 75 -sampling-factor 2x2", false},
      {"baseline-422", plasma + " -quality 80 -sampling-factor 2x1", false},
      {"progressive", plasma + " -interlace JPEG -sampling-factor 2x2", false},
      {"grey", plasma + " -colorspace Gray", true},
      {"grey-progressive", plasma + " -colorspace Gray -interlace JPEG", true},
      {"cmyk", plasma + " -colorspace CMYK", false},
      {"cmyk-progressive", plasma + " -colorspace CMYK -interlace JPEG", false},
      {"commented", plasma + " -comment 'Taken on a sunny day'", false},
      {"one-row", testing::PlasmaSource(301, 1), false},
      {"one-column", testing::PlasmaSource(1, 47) + " -sampling-factor 2x2", false},
  };
  std::vector<std::pair<std::string, bool>> files;
  for (const Case& c : cases) files.emplace_back(MakeJpeg(c.name, c.arguments), c.grey);
  if (testing::HaveTool("cjpeg")) {
    files.emplace_back(MakeWithCjpeg("arithmetic", "-arithmetic"), false);
    files.emplace_back(MakeWithCjpeg("restarts", "-restart 1 -sample 2x2"), false);
    files.emplace_back(MakeWithCjpeg("rgb", "-rgb"), false);
    files.emplace_back(MakeWithCjpeg("cjpeg-grey", "-grayscale -progressive"), true);
  }
  // A camera's file: EXIF with a thumbnail before the picture.
  const Bytes thumbnail = testing::ReadBytes(MakeJpeg("thumbnail", "rose:"));
  const std::string photo = dir_.Native("photo.jpg");
  testing::WriteBytes(photo, testing::WithSegment(testing::ReadBytes(files[0].first),
                                                  testing::ExifSegment(thumbnail)));
  files.emplace_back(photo, false);

  for (const auto& [path, grey] : files) {
    SCOPED_TRACE(path);
    const Bitmap picture = DecodeJpegFile(path);
    EXPECT_EQ(picture.BitsPerPixel(), grey ? 8 : 24);
    const Bytes expected = testing::ImageMagickPixels(path, grey);
    const Bytes actual = testing::PackedPixels(picture);
    ASSERT_EQ(actual.size(), expected.size());
    const testing::PixelDifference difference = testing::ComparePixels(actual, expected);
    // Both use libjpeg's accurate integer transform and fancy upsampling; only the conversion
    // from CMYK is ImageMagick's own, which rounds differently.
    const bool cmyk = path.find("cmyk") != std::string::npos;
    EXPECT_LE(difference.largest, 1);
    EXPECT_LE(difference.mean, cmyk ? 0.5 : 0.0);
  }
}

TEST_F(JpegDecoderImageMagickTest, DamagedScanDataGivesAPictureOrAnError) {
  for (const char* interlace : {"None", "JPEG"}) {
    SCOPED_TRACE(interlace);
    const Bytes bytes =
        testing::ReadBytes(MakeJpeg(std::string("sound-") + interlace,
                                    testing::PlasmaSource(120, 90) + " -interlace " + interlace));
    const std::size_t scan = testing::FindLastMarker(bytes, 0xDA);
    ASSERT_NE(scan, std::string::npos);
    std::mt19937 random(12345);
    int pictures = 0;
    for (int round = 0; round < 300; ++round) {
      Bytes damaged = bytes;
      const int flips = 1 + round % 8;
      for (int i = 0; i < flips; ++i) {
        const std::size_t at = scan + 10 + random() % (bytes.size() - scan - 10);
        damaged[at] = static_cast<std::uint8_t>(random());
      }
      try {
        const Bitmap picture = DecodeJpegMemory(damaged.data(), damaged.size());
        EXPECT_EQ(picture.Width(), 120);
        EXPECT_EQ(picture.Height(), 90);
        ++pictures;
      } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("Unable to decode"), std::string::npos);
      }
    }
    EXPECT_GT(pictures, 0);
  }
}

TEST_F(JpegDecoderTest, RefusesHugePicturesBeforeDecodingThem) {
  const std::string path = dir_.Native("bomb.jpg");
  testing::WriteBytes(path, testing::WithClaimedSize(kSmallJpeg, 60000, 60000));
  const auto started = std::chrono::steady_clock::now();
  const std::string message = DecodeFileError(path);
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_NE(message.find(path), std::string::npos) << message;
  EXPECT_NE(message.find("60000x60000"), std::string::npos) << message;
  EXPECT_LT(took, std::chrono::milliseconds(500));

  EXPECT_NE(DecodeError(testing::WithClaimedSize(kSmallJpeg, 40000, 2)).find("40000x2"),
            std::string::npos);
  EXPECT_NE(DecodeError(testing::WithClaimedSize(kSmallJpeg, 2, 40000)).find("2x40000"),
            std::string::npos);
  JpegLimits limits;
  limits.maxPixels = 16 * 8;
  EXPECT_EQ(DecodeError(kSmallJpeg, limits), "");
  limits.maxPixels = 16 * 8 - 1;
  EXPECT_NE(DecodeError(kSmallJpeg, limits), "");
  limits = JpegLimits();
  limits.maxDimension = 16;
  EXPECT_EQ(DecodeError(kSmallJpeg, limits), "");
  limits.maxDimension = 15;
  EXPECT_NE(DecodeError(kSmallJpeg, limits), "");
}

TEST_F(JpegDecoderImageMagickTest, StopsProgressivePicturesWithTooManyScans) {
  const Bytes progressive = testing::ReadBytes(
      MakeJpeg("progressive", testing::PlasmaSource(64, 64) + " -interlace JPEG"));
  const int scans = CountScans(progressive);
  ASSERT_GT(scans, 5);
  JpegLimits limits;
  limits.maxScans = scans;
  EXPECT_EQ(DecodeError(progressive, limits), "");
  limits.maxScans = scans - 1;
  EXPECT_NE(
      DecodeError(progressive, limits).find("more than " + std::to_string(scans - 1) + " scans"),
      std::string::npos);

  // Larger pictures may have fewer scans: each one is a pass over the whole picture.
  limits = JpegLimits();
  limits.maxScanPixels = 64 * 64 * scans;
  EXPECT_EQ(DecodeError(progressive, limits), "");
  limits.maxScanPixels = 64 * 64 * scans - 1;
  EXPECT_NE(
      DecodeError(progressive, limits).find("more than " + std::to_string(scans - 1) + " scans"),
      std::string::npos);

  // A small file that repeats its last scan thousands of times.
  const std::size_t last = testing::FindLastMarker(progressive, 0xDA);
  const std::size_t end = testing::FindLastMarker(progressive, 0xD9);
  Bytes bomb(progressive.begin(), progressive.begin() + end);
  for (int i = 0; i < 5000; ++i)
    bomb.insert(bomb.end(), progressive.begin() + last, progressive.begin() + end);
  bomb.push_back(0xFF);
  bomb.push_back(0xD9);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_NE(DecodeError(bomb).find("scans"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST_F(JpegDecoderImageMagickTest, BoundsTheLibrarysWorkingMemory) {
  // A progressive picture is held whole as coefficients (2 bytes each) while its scans are read;
  // a baseline one is decoded a few rows at a time.
  const std::string progressive =
      MakeJpeg("big-progressive", testing::PlasmaSource(512, 512) + " -interlace JPEG");
  const std::string baseline = MakeJpeg("big-baseline", testing::PlasmaSource(512, 512));
  JpegLimits limits;
  limits.maxLibraryMemory = 256 << 10;
  EXPECT_NE(DecodeFileError(progressive, limits).find("working memory"), std::string::npos);
  EXPECT_EQ(DecodeFileError(baseline, limits), "");
  limits.maxLibraryMemory = 4 << 20;
  EXPECT_EQ(DecodeFileError(progressive, limits), "");
}

}  // namespace
}  // namespace dova
