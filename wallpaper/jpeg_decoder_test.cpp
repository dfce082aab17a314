#include "wallpaper/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "platform/error.h"
#include "wallpaper/test_pictures.h"

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
    const std::string path = dir_.File(name + ".jpg");
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
  ExpectNear(PixelAt(picture, 15, 7), {221, 0, 43});

  const std::string path = dir_.File("small.jpeg");
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
  // Cut after the scan header, the picture comes out (grey where data is missing).
  EXPECT_GT(pictures, 100);
  EXPECT_GT(errors, 100);
}

TEST_F(JpegDecoderTest, RefusesWhatIsNotAJpegNamingTheFile) {
  const std::string missing = dir_.File("missing.jpg");
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
    const std::string path = dir_.File(c.name);
    testing::WriteBytes(path, c.bytes);
    const std::string message = DecodeFileError(path);
    EXPECT_NE(message.find("Unable to decode the JPEG picture " + path + ": "), std::string::npos)
        << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    EXPECT_EQ(DecodeError(c.bytes).empty(), false);
  }
  EXPECT_NE(DecodeError({}).find("in memory"), std::string::npos);
  EXPECT_NE(DecodeJpegMemory(nullptr, 0, JpegLimits()).Empty(), true);
}

}  // namespace
}  // namespace dova
