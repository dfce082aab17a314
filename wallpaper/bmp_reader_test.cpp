#include "wallpaper/bmp_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/support/test_bmp.h"
#include "wallpaper/alpha_blend.h"

namespace dova {
namespace {

using testing::BmpLayout;
using testing::Bytes;
using testing::MakeBmp;
using testing::Palette;
using testing::Put16;
using testing::Put32;

class BmpReaderTest : public testing::BmpReaderFixture {};

unsigned Scale(unsigned value, unsigned max) { return (value * 255 + max / 2) / max; }

// Every header kind and pixel layout, against values worked out from the bytes.
TEST_F(BmpReaderTest, DecodesEveryLayoutToTheValuesItStores) {
  // Two rows of three 24-bit pixels, each row padded from 9 to 12 bytes.
  const Bytes top = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
  const Bytes bottom = {11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  const Bytes expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  BmpLayout layout;
  layout.width = 3;
  for (const std::uint32_t infoSize : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
    SCOPED_TRACE(infoSize);
    layout.infoSize = infoSize;
    layout.height = 2;
    layout.pixels = bottom;
    layout.pixels.insert(layout.pixels.end(), top.begin(), top.end());
    EXPECT_EQ(Decode(layout), expected);
    if (infoSize == 12) continue;  // OS/2 1.x has no top-down rows
    layout.height = -2;
    layout.pixels = top;
    layout.pixels.insert(layout.pixels.end(), bottom.begin(), bottom.end());
    EXPECT_EQ(Decode(layout), expected);
  }

  // 32 bits: BI_RGB ignores the fourth byte, even where a V5 header names an alpha mask.
  BmpLayout rgb32;
  rgb32.infoSize = 124;
  rgb32.width = 2;
  rgb32.height = 1;
  rgb32.bits = 32;
  rgb32.masks = {0, 0, 0, 0xFF000000};
  rgb32.pixels = {10, 20, 30, 0x55, 40, 50, 60, 0xFF};
  EXPECT_EQ(Decode(rgb32), (Bytes{10, 20, 30, 40, 50, 60}));

  // Masks of other widths, rounded to the nearest 8-bit value: 10-10-10 and 5-6-5.
  BmpLayout ten;
  ten.width = 2;
  ten.height = 1;
  ten.bits = 32;
  ten.compression = 3;
  ten.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  const std::uint32_t a = (1023u << 20) | (512u << 10) | 2u, b = (3u << 20) | (0u << 10) | 1021u;
  Put32(ten.pixels, a);
  Put32(ten.pixels, b);
  EXPECT_EQ(Decode(ten), (Bytes{static_cast<std::uint8_t>(Scale(2, 1023)),
                                static_cast<std::uint8_t>(Scale(512, 1023)), 255,
                                static_cast<std::uint8_t>(Scale(1021, 1023)), 0,
                                static_cast<std::uint8_t>(Scale(3, 1023))}));

  BmpLayout rgb565;
  rgb565.width = 3;
  rgb565.height = 1;
  rgb565.bits = 16;
  rgb565.compression = 3;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  for (const std::uint32_t v : {(3u << 11) | (40u << 5) | 28u, 0xFFFFu, 0u})
    Put16(rgb565.pixels, v);
  Put16(rgb565.pixels, 0);  // padding
  EXPECT_EQ(
      Decode(rgb565),
      (Bytes{static_cast<std::uint8_t>(Scale(28, 31)), static_cast<std::uint8_t>(Scale(40, 63)),
             static_cast<std::uint8_t>(Scale(3, 31)), 255, 255, 255, 0, 0, 0}));

  // 16 bits without masks: 5-5-5, the top bit unused.
  BmpLayout rgb555 = rgb565;
  rgb555.compression = 0;
  rgb555.masks.clear();
  rgb555.pixels.clear();
  for (const std::uint32_t v : {0x8000u | (31u << 10), (16u << 5), 1u}) Put16(rgb555.pixels, v);
  Put16(rgb555.pixels, 0);
  EXPECT_EQ(Decode(rgb555), (Bytes{0, 0, 255, 0, static_cast<std::uint8_t>(Scale(16, 31)), 0,
                                   static_cast<std::uint8_t>(Scale(1, 31)), 0, 0}));

  // Palettes: 1, 4 and 8 bits, OS/2's three-byte entries, and indices past a short palette.
  BmpLayout mono;
  mono.width = 10;
  mono.height = 1;
  mono.bits = 1;
  mono.palette = Palette({0x000000, 0xFF8000});
  mono.pixels = {0b10110000, 0b01000000, 0, 0};
  int bits = 0;
  const Bytes orange = {0x00, 0x80, 0xFF}, black = {0, 0, 0};
  Bytes monoExpected;
  for (int bit : {1, 0, 1, 1, 0, 0, 0, 0, 0, 1})
    monoExpected.insert(monoExpected.end(), (bit ? orange : black).begin(),
                        (bit ? orange : black).end());
  EXPECT_EQ(Decode(mono, {}, &bits), monoExpected);
  EXPECT_EQ(bits, 24);

  BmpLayout four;
  four.width = 3;
  four.height = 1;
  four.bits = 4;
  four.coloursUsed = 3;
  four.palette = Palette({0x112233, 0x445566, 0x778899});
  four.pixels = {0x25, 0xF0, 0, 0};  // 2, 5 (past the palette), 15
  EXPECT_EQ(Decode(four), (Bytes{0x99, 0x88, 0x77, 0, 0, 0, 0, 0, 0}));

  BmpLayout os2 = four;
  os2.infoSize = 12;
  os2.bits = 8;
  os2.palette = Palette({0x010203, 0x040506}, 3);
  os2.pixels = {1, 0, 1, 0};
  // A 12-byte header names no number of colours: 256 entries of 3 bytes would be due, but the
  // pixel data starts after two; the rest are black.
  EXPECT_EQ(Decode(os2), (Bytes{6, 5, 4, 3, 2, 1, 6, 5, 4}));

  // A grey palette gives a grey picture.
  BmpLayout grey = four;
  grey.bits = 8;
  grey.coloursUsed = 0;
  grey.palette.clear();
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t level = static_cast<std::uint32_t>(255 - i);
    grey.palette.insert(grey.palette.end(),
                        {std::uint8_t(level), std::uint8_t(level), std::uint8_t(level), 0});
  }
  grey.pixels = {0, 100, 255, 0};
  EXPECT_EQ(Decode(grey, {}, &bits), (Bytes{255, 155, 0}));
  EXPECT_EQ(bits, 8);
}

// An alpha mask counts once any pixel uses it; then pixels are blended over the background.
TEST_F(BmpReaderTest, LaysPixelsWithAlphaOverTheBackgroundWhenAlphaIsUsed) {
  PictureReadOptions options;
  options.background = 0x102030;
  BmpLayout v5;
  v5.infoSize = 124;
  v5.width = 3;
  v5.height = 1;
  v5.bits = 32;
  v5.compression = 3;
  v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  v5.pixels = {200, 100, 50, 0, 200, 100, 50, 128, 200, 100, 50, 255};
  const Bytes blended = {0x30,
                         0x20,
                         0x10,
                         BlendOver(200, 128, 0x30),
                         BlendOver(100, 128, 0x20),
                         BlendOver(50, 128, 0x10),
                         200,
                         100,
                         50};
  for (const std::uint32_t infoSize : {56u, 108u, 124u}) {
    SCOPED_TRACE(infoSize);
    v5.infoSize = infoSize;
    EXPECT_EQ(Decode(v5, options), blended);
  }
  BmpLayout alphaBitfields = v5;
  alphaBitfields.infoSize = 40;
  alphaBitfields.compression = 6;
  EXPECT_EQ(Decode(alphaBitfields, options), blended);

  // Every alpha zero: a writer that left the byte unused, not an invisible picture.
  BmpLayout unused = v5;
  unused.pixels = {200, 100, 50, 0, 1, 2, 3, 0, 4, 5, 6, 0};
  EXPECT_EQ(Decode(unused, options), (Bytes{200, 100, 50, 1, 2, 3, 4, 5, 6}));

  // 1-5-5-5 with its one alpha bit.
  BmpLayout argb1555;
  argb1555.infoSize = 108;
  argb1555.width = 2;
  argb1555.height = 1;
  argb1555.bits = 16;
  argb1555.compression = 3;
  argb1555.masks = {0x7C00, 0x03E0, 0x001F, 0x8000};
  Put16(argb1555.pixels, 0x8000 | 31);  // opaque blue
  Put16(argb1555.pixels, 31 << 10);     // transparent red
  EXPECT_EQ(Decode(argb1555, options), (Bytes{255, 0, 0, 0x30, 0x20, 0x10}));
}

TEST_F(BmpReaderTest, DecodesRunLengthEncodedPictures) {
  PictureReadOptions options;
  options.background = 0x0000FF;  // blue shows through skipped pixels
  const Bytes sky = {0xFF, 0, 0};
  BmpLayout rle8;
  rle8.width = 4;
  rle8.height = 3;
  rle8.bits = 8;
  rle8.compression = 1;
  rle8.palette = Palette({0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00});
  rle8.pixels = {
      3, 1, 0, 0,        // bottom row: three white, the fourth skipped by the end of the line
      0, 3, 2, 3, 2, 0,  // middle row: literal red, green, red and a pad byte
      0, 2, 0, 1,        // a move one row up, to the top row's last pixel
      1, 3, 0, 1,        // one green there, then the end of the bitmap
  };
  const Bytes white = {0xFF, 0xFF, 0xFF}, red = {0, 0, 0xFF}, green = {0, 0xFF, 0};
  const Bytes black = {0, 0, 0};
  Bytes expected;
  for (const Bytes* pixel :
       {&sky, &sky, &sky, &green, &red, &green, &red, &sky, &white, &white, &white, &sky})
    expected.insert(expected.end(), pixel->begin(), pixel->end());
  int bits = 0;
  EXPECT_EQ(Decode(rle8, options, &bits), expected);
  EXPECT_EQ(bits, 24);

  BmpLayout rle4 = rle8;
  rle4.bits = 4;
  rle4.compression = 2;
  rle4.height = 1;
  rle4.width = 9;
  rle4.pixels = {5, 0x12, 0, 3, 0x30, 0x20, 0, 1};  // 1 2 1 2 1, then literal 3 0 2
  expected.clear();
  for (const Bytes* pixel : {&white, &red, &white, &red, &white, &green, &black, &red, &sky})
    expected.insert(expected.end(), pixel->begin(), pixel->end());
  EXPECT_EQ(Decode(rle4, options), expected);

  // Runs past the row's end are cut there; moves past the picture end it.
  BmpLayout wild = rle8;
  wild.height = 2;
  wild.pixels = {255, 1, 0, 2, 255, 255, 9, 2};
  EXPECT_EQ(Decode(wild, options).size(), 4u * 2u * 3u);
}

TEST_F(BmpReaderTest, ReadsRowsInBandsFromEitherEndOfTheFile) {
  // Larger than one band of the reader, so that rows come from several reads and seeks.
  BmpLayout layout;
  layout.width = 701;
  layout.height = 803;
  const std::size_t stride = (701 * 3 + 3) / 4 * 4;
  std::mt19937 random(3);
  Bytes stored(stride * 803);
  for (auto& byte : stored) byte = static_cast<std::uint8_t>(random());
  // The rows as they must come out, top row first, for the bottom-up file.
  Bytes expected;
  for (int y = 802; y >= 0; --y)
    expected.insert(expected.end(), stored.begin() + y * stride,
                    stored.begin() + y * stride + 701 * 3);
  layout.pixels = stored;
  for (const bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    if (topDown) {
      layout.height = -803;
      layout.pixels.clear();
      for (int y = 802; y >= 0; --y)
        layout.pixels.insert(layout.pixels.end(), stored.begin() + y * stride,
                             stored.begin() + (y + 1) * stride);
    }
    BmpRowReader reader(Write("big.bmp", MakeBmp(layout)));
    Bitmap picture(701, 803, 24);
    while (reader.RowsRead() < 803) {
      std::uint8_t* rows[7];
      const int first = reader.RowsRead();
      for (int i = 0; i < 7; ++i) rows[i] = picture.Row(std::min(802, first + i));
      ASSERT_GT(reader.ReadRows(rows, 7), 0);
    }
    EXPECT_EQ(testing::PackedPixels(picture), expected);
    EXPECT_EQ(testing::PackedPixels(BmpRowReader(dir_.Native("big.bmp")).ReadPicture()), expected);
  }
}

// Bitmaps as ImageMagick writes them, against its own reading.
TEST_F(BmpReaderTest, DecodesImageMagicksBitmapsAsItDoes) {
  if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  const std::string plasma = testing::PlasmaSource(41, 29) + " -depth 8";
  struct Case {
    const char* name;
    std::string arguments;
    std::uint32_t infoSize;
    int bits;
    std::uint32_t compression;
    bool grey;
    int tolerance;  // ImageMagick widens 5- and 6-bit fields by repeating bits, we round
  };
  const Case cases[] = {
      {"bgr-v3", plasma + " BMP3:", 40, 24, 0, false, 0},
      {"bgr-os2", plasma + " BMP2:", 12, 24, 0, false, 0},
      {"palette-os2", plasma + " -colors 16 -compress none BMP2:", 12, 4, 0, false, 0},
      {"palette8", plasma + " -colors 200 -compress none BMP3:", 40, 8, 0, false, 0},
      {"palette8-rle", plasma + " -colors 200 BMP3:", 40, 8, 1, false, 0},
      {"palette4", plasma + " -colors 16 -compress none BMP3:", 40, 4, 0, false, 0},
      {"mono", plasma + " -monochrome BMP3:", 40, 1, 0, true, 0},
      {"grey", plasma + " -colorspace Gray -type Palette -compress none BMP3:", 40, 8, 0, true, 0},
      {"rgb565", plasma + " -define bmp:subtype=RGB565 BMP:", 124, 16, 3, false, 1},
      {"rgb555", plasma + " -define bmp:subtype=RGB555 BMP:", 124, 16, 3, false, 1},
      {"large", testing::PlasmaSource(1024, 400) + " -depth 8 BMP3:", 40, 24, 0, false, 0},
  };
  const auto get32 = [](const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_.Native(std::string(c.name) + ".bmp");
    const std::size_t format = c.arguments.rfind(' ');
    testing::Convert(c.arguments.substr(0, format), c.arguments.substr(format + 1) + path);
    const Bytes file = testing::ReadBytes(path);
    ASSERT_GT(file.size(), 54u);
    ASSERT_EQ(get32(file, 14), c.infoSize);
    ASSERT_EQ(file[c.infoSize == 12 ? 24 : 28], c.bits);
    if (c.infoSize != 12) {
      ASSERT_EQ(get32(file, 30), c.compression);
    }
    const Bitmap picture = BmpRowReader(path).ReadPicture();
    EXPECT_EQ(picture.BitsPerPixel(), c.grey ? 8 : 24);
    EXPECT_LE(testing::ComparePixels(testing::PackedPixels(picture),
                                     testing::ImageMagickPixels(path, c.grey))
                  .largest,
              c.tolerance);
  }

  // With alpha, against ImageMagick's unblended values blended by the formula.
  PictureReadOptions options;
  options.background = 0x3366CC;
  const std::string alpha = dir_.Native("alpha.bmp");
  testing::Convert(plasma + " \\( -size 29x41 gradient: -rotate 90 \\) -compose CopyOpacity " +
                       "-composite -depth 8",
                   "BMP:" + alpha);
  const Bytes file = testing::ReadBytes(alpha);
  ASSERT_EQ(file[28], 32);
  const Bytes expected = testing::ImageMagickPixelsOver(alpha, 0x33, 0x66, 0xCC);
  EXPECT_EQ(testing::PackedPixels(BmpRowReader(alpha, options).ReadPicture()), expected);
}

}  // namespace
}  // namespace dova
