#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/support/test_bmp.h"
#include "wallpaper/bmp_reader.h"

namespace dova {
namespace {

using testing::BmpLayout;
using testing::Bytes;
using testing::MakeBmp;
using testing::Palette;

class BmpRefusalTest : public testing::BmpReaderFixture {};

TEST_F(BmpRefusalTest, RefusesDamagedAndUnknownBitmaps) {
  BmpLayout layout;
  layout.width = 5;
  layout.height = 4;
  layout.pixels.assign(16 * 4, 7);
  const Bytes whole = MakeBmp(layout);

  // Shorter than its pixel data: found when the file is opened, before any row is given.
  const Bytes cut(whole.begin(), whole.end() - 1);
  EXPECT_NE(DecodeError(cut).find("shorter than its pixel data"), std::string::npos);
  EXPECT_THROW(BmpRowReader(Write("cut.bmp", cut)), Error);

  BmpLayout rle = layout;
  rle.bits = 8;
  rle.compression = 1;
  rle.palette = Palette({0x000000, 0xFFFFFF});
  rle.pixels = {5, 1, 0, 0, 5, 1, 0, 0, 5};  // two rows of four, then the file ends
  EXPECT_NE(DecodeError(MakeBmp(rle)).find("damaged"), std::string::npos);

  struct Case {
    const char* name;
    BmpLayout layout;
    const char* reason;
  };
  std::vector<Case> cases;
  const auto add = [&](const char* name, const char* reason, auto change) {
    BmpLayout changed = layout;
    change(changed);
    cases.push_back({name, changed, reason});
  };
  add("rle-top-down", "top-down", [&](BmpLayout& l) {
    l = rle;
    l.height = -4;
  });
  add("rle-bits", "does not match", [&](BmpLayout& l) {
    l = rle;
    l.bits = 4;
  });
  add("jpeg-inside", "JPEG or PNG", [](BmpLayout& l) { l.compression = 4; });
  add("unknown-compression", "unknown kind", [](BmpLayout& l) { l.compression = 9; });
  add("two-bits", "2 bits per pixel", [](BmpLayout& l) { l.bits = 2; });
  add("masks-24", "only for 16 or 32", [](BmpLayout& l) {
    l.compression = 3;
    l.masks = {0xFF0000, 0xFF00, 0xFF};
  });
  add("gappy-mask", "not runs of bits", [](BmpLayout& l) {
    l.bits = 32;
    l.compression = 3;
    l.masks = {0xF0F000, 0xFF00, 0xFF};
    l.pixels.assign(5 * 4 * 4, 0);
  });
  add("overlapping-masks", "overlap", [](BmpLayout& l) {
    l.bits = 32;
    l.compression = 3;
    l.masks = {0xFF0000, 0xFFFF00, 0xFF};
    l.pixels.assign(5 * 4 * 4, 0);
  });
  add("huffman", "OS/2", [](BmpLayout& l) {
    l.infoSize = 64;
    l.compression = 3;
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(DecodeError(MakeBmp(c.layout)).find(c.reason), std::string::npos)
        << DecodeError(MakeBmp(c.layout));
  }

  Bytes offsetInHeader = whole;
  offsetInHeader[10] = 20;
  EXPECT_NE(DecodeError(offsetInHeader).find("inside the headers"), std::string::npos);
  Bytes unknownHeader = whole;
  unknownHeader[14] = 41;
  EXPECT_NE(DecodeError(unknownHeader).find("unknown kind"), std::string::npos);
  EXPECT_NE(DecodeError(Bytes(whole.begin(), whole.begin() + 30)).find("header"),
            std::string::npos);
  Bytes noWidth = whole;
  noWidth[18] = 0;
  EXPECT_NE(DecodeError(noWidth).find("no width"), std::string::npos);
}

TEST_F(BmpRefusalTest, RefusesPicturesOverTheLimitsBeforeAllocatingThem) {
  BmpLayout huge;
  huge.width = 100000;
  huge.height = -100000;
  huge.pixels.assign(64, 0);
  const std::string message = DecodeError(MakeBmp(huge));
  EXPECT_NE(message.find("the picture is 100000x100000 pixels, larger than"), std::string::npos)
      << message;
  PictureReadOptions wide;
  wide.limits.maxDimension = 200000;
  wide.limits.maxPixels = 20'000'000'000;
  // Within these limits the size is fine, but the file holds a fraction of its pixels.
  EXPECT_NE(DecodeError(MakeBmp(huge), wide).find("shorter than its pixel data"),
            std::string::npos);

  // An RLE picture is decoded whole, within the memory limit.
  BmpLayout rle;
  rle.width = 300;
  rle.height = 300;
  rle.bits = 8;
  rle.compression = 1;
  rle.palette = Palette({0x000000});
  rle.pixels = {0, 1};
  PictureReadOptions tight;
  tight.limits.maxLibraryMemory = 200 << 10;
  EXPECT_NE(DecodeError(MakeBmp(rle), tight).find("working memory"), std::string::npos);
  EXPECT_EQ(DecodeError(MakeBmp(rle)), "");
}

TEST_F(BmpRefusalTest, StopsWhenCancelled) {
  BmpLayout layout;
  layout.width = 8;
  layout.height = 8;
  layout.pixels.assign(24 * 8, 9);
  CancelFlag cancel{false};
  PictureReadOptions options;
  options.cancel = &cancel;
  const std::string path = Write("picture.bmp", MakeBmp(layout));
  BmpRowReader reader(path, options);
  Bitmap picture(8, 8, 24);
  std::uint8_t* row[1] = {picture.Row(0)};
  EXPECT_EQ(reader.ReadRows(row, 1), 1);
  cancel = true;
  EXPECT_THROW(reader.ReadRows(row, 1), ConversionCancelled);
  EXPECT_THROW(reader.ReadRows(row, 1), ConversionCancelled);

  // A picture with an alpha mask is read through when opened, and stops there too.
  layout.infoSize = 124;
  layout.bits = 32;
  layout.compression = 3;
  layout.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  layout.pixels.assign(32 * 8, 0);
  EXPECT_THROW(BmpRowReader(Write("alpha.bmp", MakeBmp(layout)), options), ConversionCancelled);
}

}  // namespace
}  // namespace dova
