#include "wallpaper/png_reader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/alpha_blend.h"

namespace dova {
namespace {

using testing::Bytes;

// A picture to be written by libpng exactly as described: `samples` holds the rows as PNG
// stores them (packed below 8 bits, 16-bit samples big-endian).
struct PngPicture {
  int width = 0;
  int height = 0;
  int colourType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;  // tRNS of a palette picture
  bool transparentColour = false;      // tRNS of a grey or RGB picture
  png_color_16 transparent{};
  Bytes samples;
};

PngPicture Png(int width, int height, int colourType, int bitDepth, bool interlaced = false) {
  PngPicture picture;
  picture.width = width;
  picture.height = height;
  picture.colourType = colourType;
  picture.bitDepth = bitDepth;
  picture.interlaced = interlaced;
  return picture;
}

void AppendToBytes(png_structp png, png_bytep data, std::size_t size) {
  Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

Bytes EncodePng(const PngPicture& picture) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write the test picture";
    return Bytes();
  }
  png_set_write_fn(png, &out, AppendToBytes, nullptr);
  png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
               picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!picture.palette.empty())
    png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
  if (!picture.paletteAlpha.empty())
    png_set_tRNS(png, info, picture.paletteAlpha.data(),
                 static_cast<int>(picture.paletteAlpha.size()), nullptr);
  if (picture.transparentColour) png_set_tRNS(png, info, nullptr, 0, &picture.transparent);
  png_write_info(png, info);
  const std::size_t rowBytes = picture.samples.size() / picture.height;
  std::vector<png_bytep> rows;
  for (int y = 0; y < picture.height; ++y)
    rows.push_back(const_cast<png_bytep>(picture.samples.data() + y * rowBytes));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::uint32_t Big32(const Bytes& bytes, std::size_t at) {
  return (std::uint32_t(bytes[at]) << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) |
         bytes[at + 3];
}

void PutBig32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// Offset of the first chunk of `type` (at its length field), or npos.
std::size_t FindChunk(const Bytes& png, const char* type) {
  for (std::size_t at = 8; at + 12 <= png.size(); at += 12 + Big32(png, at)) {
    if (std::memcmp(&png[at + 4], type, 4) == 0) return at;
  }
  return std::string::npos;
}

// Makes the chunk at `at` carry the right checksum again, as a writer of the damage would.
void FixCrc(Bytes& png, std::size_t at) {
  const std::uint32_t length = Big32(png, at);
  const uLong crc = crc32(0, &png[at + 4], 4 + length);
  PutBig32(png, at + 8 + length, static_cast<std::uint32_t>(crc));
}

// Grey, RGB or RGBA samples of a little gradient, every value different enough to show a
// wrong channel or a shifted row.
Bytes Gradient(int width, int height, int channels, int bitDepth) {
  Bytes samples;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        const unsigned value = (x * 37 + y * 91 + c * 53 + x * y) % 256;
        samples.push_back(static_cast<std::uint8_t>(value));
        if (bitDepth == 16) samples.push_back(static_cast<std::uint8_t>(value * 7));
      }
  return samples;
}

Bitmap ReadPng(const std::string& path, const PictureReadOptions& options = {}) {
  return PngRowReader(path, options).ReadPicture();
}

std::string ReadError(const std::string& path, const PictureReadOptions& options = {}) {
  try {
    ReadPng(path, options);
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

class PngReaderTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_.Native(name);
    testing::WriteBytes(path, bytes);
    return path;
  }
  testing::TempDir dir_;
};

// Pixels worked out by hand from what libpng wrote: 16-bit samples rounded to the nearest
// 8-bit value, grey kept grey, palettes looked up, low bit depths spread over 0..255.
TEST_F(PngReaderTest, DecodesEachKindToTheValuesItStores) {
  PngPicture grey16 = Png(3, 1, PNG_COLOR_TYPE_GRAY, 16);
  grey16.samples = {0x00, 0x00, 0x80, 0x80, 0xFF, 0xFF};
  Bitmap picture = ReadPng(Write("grey16.png", EncodePng(grey16)));
  ASSERT_EQ(picture.BitsPerPixel(), 8);
  EXPECT_EQ(testing::PackedPixels(picture), (Bytes{0, 0x80, 0xFF}));

  // Rounded, not cut to the high byte: 0x10A0 is 16.56 in 8-bit steps, 0xF010 is 239.13.
  grey16.samples = {0x10, 0xA0, 0xF0, 0x10, 0x81, 0x81};
  EXPECT_EQ(testing::PackedPixels(ReadPng(Write("round16.png", EncodePng(grey16)))),
            (Bytes{17, 239, 129}));

  PngPicture grey2 = Png(4, 1, PNG_COLOR_TYPE_GRAY, 2);
  grey2.samples = {0b00011011};
  picture = ReadPng(Write("grey2.png", EncodePng(grey2)));
  ASSERT_EQ(picture.BitsPerPixel(), 8);
  EXPECT_EQ(testing::PackedPixels(picture), (Bytes{0, 85, 170, 255}));

  PngPicture palette = Png(3, 2, PNG_COLOR_TYPE_PALETTE, 4);
  palette.palette = {{255, 0, 0}, {0, 128, 0}, {10, 20, 30}};
  palette.samples = {0x01, 0x20, 0x21, 0x00};  // rows 0,1,2 and 2,1,0
  picture = ReadPng(Write("palette.png", EncodePng(palette)));
  ASSERT_EQ(picture.BitsPerPixel(), 24);
  EXPECT_EQ(testing::PackedPixels(picture),
            (Bytes{0, 0, 255, 0, 128, 0, 30, 20, 10, 30, 20, 10, 0, 128, 0, 0, 0, 255}));

  PngPicture rgb16 = Png(2, 1, PNG_COLOR_TYPE_RGB, 16);
  rgb16.samples = {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF, 0x00, 0x01, 0x7F, 0xFF, 0x80, 0x00};
  picture = ReadPng(Write("rgb16.png", EncodePng(rgb16)));
  // Blue, green, red of (0x1234, 0xABCD, 0xFFFF) and (0x0001, 0x7FFF, 0x8000).
  EXPECT_EQ(testing::PackedPixels(picture), (Bytes{255, 171, 18, 128, 127, 0}));
}

// Transparent pixels, whichever way the file says so, are blended over the background by
// (colour * alpha + background * (255 - alpha)) / 255, rounded.
TEST_F(PngReaderTest, LaysTransparentPixelsOverTheBackground) {
  PictureReadOptions options;
  options.background = 0x204060;  // red 0x20, green 0x40, blue 0x60
  const unsigned bgBlue = 0x60, bgGreen = 0x40, bgRed = 0x20;

  for (const bool interlaced : {false, true}) {
    for (const int depth : {8, 16}) {
      SCOPED_TRACE(std::to_string(depth) + (interlaced ? " bits, interlaced" : " bits"));
      PngPicture rgba = Png(13, 9, PNG_COLOR_TYPE_RGB_ALPHA, depth, interlaced);
      rgba.samples = Gradient(13, 9, 4, depth);
      const Bitmap picture = ReadPng(Write("rgba.png", EncodePng(rgba)), options);
      ASSERT_EQ(picture.BitsPerPixel(), 24);
      const std::size_t step = depth / 8;
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
          const std::uint8_t* s = &rgba.samples[((y * 13 + x) * 4) * step];
          // 16-bit samples are first rounded to 8 bits.
          const auto sample = [&](int c) {
            return depth == 8 ? s[c] : ((s[2 * c] << 8 | s[2 * c + 1]) * 255u + 32767u) / 65535u;
          };
          const std::uint8_t* p = picture.Row(y) + x * 3;
          const unsigned alpha = sample(3);
          ASSERT_EQ(p[0], (sample(2) * alpha + bgBlue * (255 - alpha) + 127) / 255)
              << x << "," << y;
          ASSERT_EQ(p[1], (sample(1) * alpha + bgGreen * (255 - alpha) + 127) / 255);
          ASSERT_EQ(p[2], (sample(0) * alpha + bgRed * (255 - alpha) + 127) / 255);
        }
    }
  }

  // Grey with alpha becomes colour: the background need not be grey.
  PngPicture greyAlpha = Png(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8);
  greyAlpha.samples = {200, 255, 200, 51};
  Bitmap picture = ReadPng(Write("grey-alpha.png", EncodePng(greyAlpha)), options);
  ASSERT_EQ(picture.BitsPerPixel(), 24);
  EXPECT_EQ(testing::PackedPixels(picture),
            (Bytes{200, 200, 200, BlendOver(200, 51, bgBlue), BlendOver(200, 51, bgGreen),
                   BlendOver(200, 51, bgRed)}));

  // tRNS: palette entries with their own alpha, and the one transparent grey or RGB value.
  PngPicture palette = Png(3, 1, PNG_COLOR_TYPE_PALETTE, 8);
  palette.palette = {{255, 255, 255}, {0, 0, 0}, {100, 150, 200}};
  palette.paletteAlpha = {0, 128};  // the third entry, past the list, is opaque
  palette.samples = {0, 1, 2};
  picture = ReadPng(Write("palette-trns.png", EncodePng(palette)), options);
  EXPECT_EQ(testing::PackedPixels(picture),
            (Bytes{0x60, 0x40, 0x20, BlendOver(0, 128, bgBlue), BlendOver(0, 128, bgGreen),
                   BlendOver(0, 128, bgRed), 200, 150, 100}));

  PngPicture grey = Png(3, 1, PNG_COLOR_TYPE_GRAY, 8);
  grey.samples = {7, 8, 9};
  grey.transparentColour = true;
  grey.transparent.gray = 8;
  picture = ReadPng(Write("grey-trns.png", EncodePng(grey)), options);
  ASSERT_EQ(picture.BitsPerPixel(), 24);
  EXPECT_EQ(testing::PackedPixels(picture), (Bytes{7, 7, 7, 0x60, 0x40, 0x20, 9, 9, 9}));

  PngPicture rgb = Png(2, 1, PNG_COLOR_TYPE_RGB, 16);
  rgb.samples = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBD};
  rgb.transparentColour = true;
  rgb.transparent.red = 0x1234;
  rgb.transparent.green = 0x5678;
  rgb.transparent.blue = 0x9ABC;
  picture = ReadPng(Write("rgb-trns.png", EncodePng(rgb)), options);
  // Compared at 16 bits: the second pixel, one blue step away, stays.
  EXPECT_EQ(testing::PackedPixels(picture), (Bytes{0x60, 0x40, 0x20, 0x9A, 0x56, 0x12}));
}

TEST_F(PngReaderTest, InterlacedPicturesAndRowByRowReadingGiveTheSamePixels) {
  PngPicture plain = Png(37, 23, PNG_COLOR_TYPE_RGB, 8);
  plain.samples = Gradient(37, 23, 3, 8);
  PngPicture interlaced = plain;
  interlaced.interlaced = true;
  Bytes bgr = plain.samples;
  for (std::size_t i = 0; i < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
  for (const std::string& path :
       {Write("plain.png", EncodePng(plain)), Write("interlaced.png", EncodePng(interlaced))}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(testing::PackedPixels(ReadPng(path)), bgr);
    PngRowReader reader(path);
    EXPECT_EQ(reader.Width(), 37);
    EXPECT_EQ(reader.Height(), 23);
    Bitmap rows(37, 23, 24);
    while (reader.RowsRead() < 23) {
      std::uint8_t* band[2] = {rows.Row(reader.RowsRead()),
                               rows.Row(std::min(22, reader.RowsRead() + 1))};
      ASSERT_GT(reader.ReadRows(band, 2), 0);
    }
    std::uint8_t* none[1] = {rows.Row(0)};
    EXPECT_EQ(reader.ReadRows(none, 1), 0);
    EXPECT_EQ(testing::PackedPixels(rows), bgr);
  }
}

TEST_F(PngReaderTest, RefusesDamagedFilesInsteadOfGivingPartOfThePicture) {
  PngPicture picture = Png(64, 48, PNG_COLOR_TYPE_RGB, 8);
  picture.samples = Gradient(64, 48, 3, 8);
  const Bytes whole = EncodePng(picture);
  const std::size_t idat = FindChunk(whole, "IDAT");
  const std::size_t idatLength = Big32(whole, idat);
  ASSERT_NE(idat, std::string::npos);
  ASSERT_EQ(std::memcmp(&whole[idat + 12 + idatLength + 4], "IEND", 4), 0);  // one IDAT
  EXPECT_EQ(ReadError(Write("whole.png", whole)), "");

  const auto expectRefused = [&](const std::string& name, const Bytes& bytes,
                                 const std::string& reason) {
    SCOPED_TRACE(name);
    const std::string path = Write(name, bytes);
    const std::string message = ReadError(path);
    EXPECT_NE(message.find("Unable to decode the PNG picture " + path + ": "), std::string::npos)
        << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
  };
  for (const std::size_t size : {std::size_t{0}, std::size_t{20}, idat + 8 + idatLength / 2,
                                 idat + 8 + idatLength, whole.size() - 1}) {
    expectRefused("cut-" + std::to_string(size) + ".png",
                  Bytes(whole.begin(), whole.begin() + size), size < 33 ? "" : "damaged");
  }

  Bytes badCrc = whole;
  badCrc[idat + 8 + idatLength] ^= 0x10;
  expectRefused("bad-crc.png", badCrc, "CRC error");

  // Broken deflate data with a checksum to match: zlib itself must catch it.
  Bytes badStream = whole;
  badStream[idat + 8] ^= 0x20;  // the zlib header
  FixCrc(badStream, idat);
  expectRefused("bad-stream.png", badStream, "damaged");

  // The image data's own checksum is the last thing it holds, read only after the last row.
  Bytes badAdler = whole;
  badAdler[idat + 8 + idatLength - 1] ^= 0x01;
  FixCrc(badAdler, idat);
  expectRefused("bad-adler.png", badAdler, "damaged");

  Bytes notPng = whole;
  notPng[1] = 'Q';
  expectRefused("not-png.png", notPng, "Not a PNG file");

  // A row of each kind decoded in full, then the damage: the reader must not report success.
  PngRowReader reader(Write("bad-adler-rows.png", badAdler));
  Bitmap rows(64, 48, 24);
  std::vector<std::uint8_t*> all;
  for (int y = 0; y < 48; ++y) all.push_back(rows.Row(y));
  EXPECT_EQ(reader.ReadRows(all.data(), 47), 47);
  EXPECT_THROW(reader.ReadRows(all.data() + 47, 1), Error);
  EXPECT_THROW(reader.ReadRows(all.data() + 47, 1), Error);  // and stays refused
}

TEST_F(PngReaderTest, KeepsSoundFilesWithHarmlessFlaws) {
  PngPicture picture = Png(16, 8, PNG_COLOR_TYPE_GRAY, 8);
  picture.samples = Gradient(16, 8, 1, 8);
  const Bytes whole = EncodePng(picture);
  const std::size_t idat = FindChunk(whole, "IDAT");
  const std::size_t length = Big32(whole, idat);

  // Bytes after the end of the compressed stream, inside the IDAT chunk.
  Bytes extra(whole.begin(), whole.begin() + idat + 8 + length);
  extra.insert(extra.end(), {1, 2, 3, 4});
  extra.insert(extra.end(), whole.begin() + idat + 8 + length, whole.end());
  PutBig32(extra, idat, static_cast<std::uint32_t>(length + 4));
  FixCrc(extra, idat);

  // An ancillary chunk with a wrong checksum is skipped, as its contents are unused anyway.
  Bytes badText(whole.begin(), whole.begin() + idat);
  const Bytes text = {0, 0, 0, 3, 't', 'E', 'X', 't', 'a', 0, 'b', 0, 0, 0, 0};
  badText.insert(badText.end(), text.begin(), text.end());
  badText.insert(badText.end(), whole.begin() + idat, whole.end());

  const std::pair<const char*, Bytes> cases[] = {{"extra.png", extra}, {"bad-text.png", badText}};
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    const Bitmap decoded = ReadPng(Write(name, bytes));
    EXPECT_EQ(testing::PackedPixels(decoded), picture.samples);
  }
}

TEST_F(PngReaderTest, RefusesPicturesOverTheLimitsBeforeAllocatingThem) {
  PngPicture small = Png(4, 4, PNG_COLOR_TYPE_RGB, 8);
  small.samples = Gradient(4, 4, 3, 8);
  Bytes huge = EncodePng(small);
  PutBig32(huge, 16, 100000);  // IHDR's width and height
  PutBig32(huge, 20, 100000);
  FixCrc(huge, 8);
  const std::string path = Write("huge.png", huge);
  EXPECT_NE(ReadError(path).find("the picture is 100000x100000 pixels, larger than"),
            std::string::npos)
      << ReadError(path);
  PictureReadOptions wide;
  wide.limits.maxDimension = 200000;
  EXPECT_NE(ReadError(path, wide).find("the picture is 100000x100000 pixels, larger than"),
            std::string::npos)
      << ReadError(path, wide);
  EXPECT_EQ(ReadPngSize(path), "100000x100000");

  // An interlaced picture is held whole while its passes come in, within the memory limit;
  // read row by row the same picture needs a few rows only.
  PngPicture big = Png(256, 256, PNG_COLOR_TYPE_RGB_ALPHA, 8);
  big.samples = Gradient(256, 256, 4, 8);
  PictureReadOptions tight;
  tight.limits.maxLibraryMemory = 200 << 10;
  EXPECT_EQ(ReadError(Write("rows.png", EncodePng(big)), tight), "");
  big.interlaced = true;
  const std::string interlaced = Write("interlaced.png", EncodePng(big));
  EXPECT_NE(ReadError(interlaced, tight).find("working memory"), std::string::npos);
  EXPECT_EQ(ReadError(interlaced), "");
  tight.limits.maxLibraryMemory = 4 << 10;  // not even the library's own structures
  EXPECT_NE(ReadError(interlaced, tight).find("working memory"), std::string::npos);
}

TEST_F(PngReaderTest, StopsWhenCancelled) {
  PngPicture picture = Png(32, 32, PNG_COLOR_TYPE_RGB, 8);
  picture.samples = Gradient(32, 32, 3, 8);
  CancelFlag cancel{false};
  PictureReadOptions options;
  options.cancel = &cancel;
  for (const bool interlaced : {false, true}) {
    picture.interlaced = interlaced;
    const std::string path = Write("picture.png", EncodePng(picture));
    PngRowReader reader(path, options);
    Bitmap rows(32, 32, 24);
    std::uint8_t* row[1] = {rows.Row(0)};
    if (!interlaced) {
      EXPECT_EQ(reader.ReadRows(row, 1), 1);
    }
    cancel = true;
    EXPECT_THROW(reader.ReadRows(row, 1), ConversionCancelled);
    EXPECT_THROW(reader.ReadRows(row, 1), ConversionCancelled);
    EXPECT_THROW(PngRowReader(path, options), ConversionCancelled);
    cancel = false;
  }
}

// Files as ImageMagick writes them, of each colour type and bit depth, against its own reading.
TEST_F(PngReaderTest, DecodesImageMagicksFilesAsItDoes) {
  if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  const std::string plasma = testing::PlasmaSource(41, 29);
  struct Case {
    const char* name;
    std::string arguments;
    int colourType;
    int bitDepth;
    bool grey;
  };
  const Case cases[] = {
      {"grey1", plasma + " -colorspace Gray -threshold 50% -define png:bit-depth=1", 0, 1, true},
      {"grey4", plasma + " -colorspace Gray -define png:bit-depth=4 -define png:color-type=0", 0, 4,
       true},
      {"grey8", plasma + " -colorspace Gray -depth 8 -define png:color-type=0", 0, 8, true},
      {"grey16", plasma + " -colorspace Gray -depth 16 -define png:color-type=0", 0, 16, true},
      {"palette", plasma + " -colors 50 -depth 8 -define png:color-type=3", 3, 8, false},
      {"rgb8", plasma + " -depth 8 -define png:color-type=2", 2, 8, false},
      {"rgb16", plasma + " -depth 16 -define png:color-type=2", 2, 16, false},
      {"rgb-adam7", plasma + " -depth 8 -interlace PNG -define png:color-type=2", 2, 8, false},
      {"grey-adam7", plasma + " -colorspace Gray -depth 8 -interlace PNG -define png:color-type=0",
       0, 8, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_.Native(std::string(c.name) + ".png");
    testing::Convert(c.arguments, "PNG:" + path);
    const Bytes file = testing::ReadBytes(path);
    ASSERT_GT(file.size(), 29u);
    ASSERT_EQ(file[25], c.colourType);
    ASSERT_EQ(file[24], c.bitDepth);
    const Bitmap picture = ReadPng(path);
    EXPECT_EQ(picture.BitsPerPixel(), c.grey ? 8 : 24);
    const Bytes magick = testing::ImageMagickPixels(path, c.grey);
    if (c.bitDepth == 16) {
      // ImageMagick cuts 16-bit samples to 8 bits (v * 255 / 65535, rounded down) where we
      // round them; the rounding itself is checked exactly above.
      EXPECT_LE(testing::ComparePixels(testing::PackedPixels(picture), magick).largest, 1);
    } else {
      EXPECT_EQ(testing::PackedPixels(picture), magick);
    }
  }

  // With alpha: ImageMagick's unblended values, blended here by the formula.
  PictureReadOptions options;
  options.background = 0xFF8000;
  const std::string alpha = dir_.Native("alpha.png");
  testing::Convert(plasma + " \\( -size 29x41 gradient: -rotate 90 \\) -compose CopyOpacity " +
                       "-composite -depth 8 -define png:color-type=6",
                   "PNG:" + alpha);
  ASSERT_EQ(testing::ReadBytes(alpha)[25], 6);
  const Bytes expected = testing::ImageMagickPixelsOver(alpha, 0xFF, 0x80, 0x00);
  EXPECT_EQ(testing::PackedPixels(ReadPng(alpha, options)), expected);
}

}  // namespace
}  // namespace dova
