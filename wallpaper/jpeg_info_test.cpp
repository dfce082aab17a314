#include "wallpaper/jpeg_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/test_pictures.h"

namespace dova {
namespace {

using testing::Bytes;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Bytes kStart = {0xFF, 0xD8};

// A baseline frame header of three components.
Bytes Frame(int width, int height, std::uint8_t code = 0xC0) {
  return {0xFF, code, 0x00, 0x11, 0x08, std::uint8_t(height >> 8), std::uint8_t(height),
          std::uint8_t(width >> 8), std::uint8_t(width), 0x03, 0x01, 0x22, 0x00, 0x02, 0x11,
          0x01, 0x03, 0x11, 0x01};
}

// A segment with a correct length field around `contents`.
Bytes Segment(std::uint8_t code, const Bytes& contents) {
  const std::size_t length = contents.size() + 2;
  Bytes segment(4 + contents.size());
  segment[0] = 0xFF;
  segment[1] = code;
  segment[2] = std::uint8_t(length >> 8);
  segment[3] = std::uint8_t(length);
  std::copy(contents.begin(), contents.end(), segment.begin() + 4);
  return segment;
}

const Bytes kJfif = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
const Bytes kScan = {0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03,
                     0x11, 0x00, 0x3F, 0x00, 0x12, 0x34};

class JpegInfoTest : public ::testing::Test {
 protected:
  std::string SizeOf(const Bytes& bytes) {
    const std::string path = dir_.Native("picture.jpg");
    testing::WriteBytes(path, bytes);
    return ReadJpegSize(path);
  }
  testing::TempDir dir_;
};

TEST_F(JpegInfoTest, ReadsTheFrameHeaderAfterOtherSegments) {
  const Bytes comment = Segment(0xFE, {'h', 'e', 'l', 'l', 'o'});
  const Bytes exif = Segment(0xE1, Concat({{'E', 'x', 'i', 'f', 0, 0}, Bytes(3000, 0xFF)}));
  const Bytes tables = Segment(0xDB, Bytes(65, 1));
  EXPECT_EQ(SizeOf(Concat({kStart, kJfif, comment, Frame(1024, 768), kScan})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, kJfif, exif, tables, Frame(1, 65535), kScan})), "1x65535");
  // Every start-of-frame code gives the size; the codes between them are tables.
  for (int code = 0xC0; code <= 0xCF; ++code) {
    SCOPED_TRACE(code);
    const bool frame = code != 0xC4 && code != 0xC8 && code != 0xCC;
    const Bytes file = Concat({kStart, Frame(320, 200, std::uint8_t(code)), Frame(64, 48)});
    EXPECT_EQ(SizeOf(file), frame ? "320x200" : "64x48");
  }
  // A largest segment is skipped by its length, whatever it holds.
  EXPECT_EQ(SizeOf(Concat({kStart, Segment(0xE2, Bytes(65533, 0xC0)), Frame(7, 9)})), "7x9");
  // The size is taken as it stands, also a height of 0.
  EXPECT_EQ(SizeOf(Concat({kStart, Frame(640, 0)})), "640x0");
  EXPECT_EQ(SizeOf(Concat({kStart, Frame(0, 480)})), "");
}

TEST_F(JpegInfoTest, GivesNothingWithoutAFrameHeaderBeforeTheScan) {
  EXPECT_EQ(ReadJpegSize(dir_.Native("missing.jpg")), "");
  EXPECT_EQ(SizeOf({}), "");
  EXPECT_EQ(SizeOf(kStart), "");
  EXPECT_EQ(SizeOf(Concat({kStart, kJfif, kScan, Frame(800, 600)})), "");
  EXPECT_EQ(SizeOf(Concat({kStart, kJfif, {0xFF, 0xD9}, Frame(800, 600)})), "");
  // Cut inside the frame header.
  const Bytes whole = Concat({kStart, kJfif, Frame(800, 600)});
  EXPECT_EQ(SizeOf(Bytes(whole.begin(), whole.end() - 10)), "800x600");
  EXPECT_EQ(SizeOf(Bytes(whole.begin(), whole.end() - 11)), "");  // width cut off
  EXPECT_EQ(SizeOf(Bytes(whole.begin(), whole.end() - 13)), "");  // height cut off
  // A segment running past the end of the file.
  EXPECT_EQ(SizeOf(Concat({kStart, {0xFF, 0xE1, 0x40, 0x00, 1, 2, 3}})), "");
  const std::string text = "This is not a picture.\r\n";
  EXPECT_EQ(SizeOf(Bytes(text.begin(), text.end())), "");
}

// A length field cut off by the end of the file must end the walk: seeking back over it would
// find the same marker again for ever.
TEST_F(JpegInfoTest, EndsAtALengthCutOffByTheEndOfTheFile) {
  EXPECT_EQ(SizeOf({0xFF, 0xE0}), "");
  EXPECT_EQ(SizeOf({0xFF, 0xD8, 0xFF, 0xE0}), "");
  EXPECT_EQ(SizeOf({0xFF, 0xD8, 0xFF, 0xFE}), "");
  EXPECT_EQ(SizeOf({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xE1}), "");
  EXPECT_EQ(SizeOf({0xFF, 0xD8, 0xFF, 0xE0, 0x00}), "");
  EXPECT_EQ(SizeOf({0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x02, 0x41, 0xFF, 0xE0}), "");
}

TEST_F(JpegInfoTest, MarkerSearchRules) {
  const Bytes frame = Frame(1024, 768);
  // Fill bytes before a code: up to nine in a later search, eight in the very first.
  EXPECT_EQ(SizeOf(Concat({kStart, Bytes(8, 0xFF), frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, Bytes(9, 0xFF), frame})), "");
  EXPECT_EQ(SizeOf(Concat({Bytes(8, 0xFF), {0xD8}, frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({Bytes(9, 0xFF), {0xD8}, frame})), "");
  // A later code without a 0xFF before it ends the walk.
  EXPECT_EQ(SizeOf(Concat({kStart, {0xC0}, Bytes(frame.begin() + 2, frame.end())})), "");
  // The first byte of the file counts as a code even without a prefix.
  EXPECT_EQ(SizeOf(Concat({{0xD8}, frame})), "1024x768");
  EXPECT_EQ(SizeOf(Bytes(frame.begin() + 1, frame.end())), "1024x768");
  EXPECT_EQ(SizeOf(Concat({{0x00}, frame})), "");  // a 0x00 "segment" of length 0xFFC0
}

TEST_F(JpegInfoTest, ToleratesCommentsWhoseLengthIsShort) {
  const Bytes frame = Frame(1024, 768);
  const Bytes text = {'a', 'b', 'c', 'd'};
  const auto comment = [&text](int shortBy) {
    const int length = int(text.size()) + 2 - shortBy;
    return Concat({{0xFF, 0xFE, std::uint8_t(length >> 8), std::uint8_t(length)}, text});
  };
  EXPECT_EQ(SizeOf(Concat({kStart, comment(0), frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, comment(1), frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, comment(2), frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, comment(3), frame})), "");
  // The same shortness in any other segment ends the walk.
  Bytes app = comment(1);
  app[1] = 0xE1;
  EXPECT_EQ(SizeOf(Concat({kStart, app, frame})), "");
  // A comment length below 2 moves back over the length bytes, which the tolerance then takes
  // for fill bytes.
  EXPECT_EQ(SizeOf(Concat({kStart, {0xFF, 0xFE, 0x00, 0x00}, frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, {0xFF, 0xFE, 0x00, 0x01}, frame})), "1024x768");
  EXPECT_EQ(SizeOf(Concat({kStart, {0xFF, 0xE1, 0x00, 0x00}, frame})), "");
}

TEST_F(JpegInfoTest, SizesOfPicturesMadeByImageMagick) {
  if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  struct Case {
    const char* name;
    std::string arguments;
    const char* size;
  };
  const Case cases[] = {
      {"baseline", testing::PlasmaSource(1024, 768) + " -comment 'A comment'", "1024x768"},
      {"progressive", testing::PlasmaSource(97, 61) + " -interlace JPEG", "97x61"},
      {"grey", testing::PlasmaSource(33, 1) + " -colorspace Gray", "33x1"},
      {"cmyk", testing::PlasmaSource(64, 80) + " -colorspace CMYK", "64x80"},
      {"rose", "rose: -resize 640x480!", "640x480"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_.Native(std::string(c.name) + ".jpg");
    testing::Convert(c.arguments, path);
    EXPECT_EQ(ReadJpegSize(path), c.size);
  }
  // A camera's file: the thumbnail inside the EXIF segment has a frame header of its own.
  const std::string thumbnail = dir_.Native("thumbnail.jpg");
  testing::Convert(testing::PlasmaSource(160, 120), thumbnail);
  const std::string photo = dir_.Native("photo.jpg");
  const Bytes exif = testing::ExifSegment(testing::ReadBytes(thumbnail));
  testing::WriteBytes(photo, testing::WithSegment(testing::ReadBytes(dir_.Native("baseline.jpg")), exif));
  EXPECT_EQ(ReadJpegSize(thumbnail), "160x120");
  EXPECT_EQ(ReadJpegSize(photo), "1024x768");
}

}  // namespace
}  // namespace dova
