#include "wallpaper/picture_reader.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/bmp_reader.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/jpeg_library.h"
#include "wallpaper/png_reader.h"

namespace dova {
namespace {

using testing::Bytes;

// The test pictures: a PNG and a JPEG written by their libraries, a bitmap laid out by hand.
// `rgb` holds red, green, blue rows.
void WritePng(const std::string& path, int width, int height, const Bytes& rgb) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_NE(png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr), 0) << image.message;
  std::fclose(file);
}

void WriteJpeg(const std::string& path, int width, int height, const Bytes& rgb) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  for (int y = 0; y < height; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + static_cast<std::size_t>(y) * width * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

void Put32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 24-bit bitmap with a 40-byte header; a negative height stores it top-down.
Bytes Bitmap24(int width, int height, const Bytes& rgb) {
  const int rows = height < 0 ? -height : height;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  Bytes file = {'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(54 + stride * rows));
  Put32(file, 0);
  Put32(file, 54);
  Put32(file, 40);
  Put32(file, static_cast<std::uint32_t>(width));
  Put32(file, static_cast<std::uint32_t>(height));
  file.insert(file.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) Put32(file, 0);
  for (int r = 0; r < rows; ++r) {
    const int y = height < 0 ? r : rows - 1 - r;
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      file.insert(file.end(), {p[2], p[1], p[0]});
    }
    file.resize(file.size() + stride - static_cast<std::size_t>(width) * 3, 0);
  }
  return file;
}

// Red, green, blue of a picture with colour enough to tell the formats' decoders apart.
Bytes Colours(int width, int height) {
  Bytes rgb;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      rgb.insert(rgb.end(), {std::uint8_t(x * 255 / width), std::uint8_t(y * 255 / height),
                             std::uint8_t(128)});
  return rgb;
}

Bytes Bgr(const Bytes& rgb) {
  Bytes bgr = rgb;
  for (std::size_t i = 0; i + 2 < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
  return bgr;
}

class PictureReaderTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
};

TEST_F(PictureReaderTest, ChoosesTheDecoderByContentNotByName) {
  const Bytes rgb = Colours(24, 16);
  const std::string pngAsJpg = dir_.Native("really-a-png.jpg");
  const std::string jpegAsPng = dir_.Native("really-a-jpeg.png");
  const std::string bmpAsPng = dir_.Native("really-a-bitmap.png");
  WritePng(pngAsJpg, 24, 16, rgb);
  WriteJpeg(jpegAsPng, 24, 16, rgb);
  testing::WriteBytes(bmpAsPng, Bitmap24(24, -16, rgb));

  std::unique_ptr<PictureRowReader> reader = OpenPictureReader(pngAsJpg);
  EXPECT_NE(dynamic_cast<PngRowReader*>(reader.get()), nullptr);
  EXPECT_EQ(testing::PackedPixels(reader->ReadPicture()), Bgr(rgb));

  reader = OpenPictureReader(bmpAsPng);
  EXPECT_NE(dynamic_cast<BmpRowReader*>(reader.get()), nullptr);
  EXPECT_EQ(testing::PackedPixels(reader->ReadPicture()), Bgr(rgb));

  reader = OpenPictureReader(jpegAsPng);
  EXPECT_NE(dynamic_cast<JpegRowReader*>(reader.get()), nullptr);
  EXPECT_LE(testing::ComparePixels(testing::PackedPixels(reader->ReadPicture()), Bgr(rgb)).largest,
            8);

  // The options reach every decoder.
  PictureReadOptions small;
  small.limits.maxPixels = 100;
  for (const std::string& path : {pngAsJpg, jpegAsPng, bmpAsPng}) {
    SCOPED_TRACE(path);
    try {
      OpenPictureReader(path, small);
      ADD_FAILURE() << "opened over the limits";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find("24x16 pixels, larger than"), std::string::npos)
          << error.what();
    }
  }

  // Anything else is left to the JPEG decoder, whose error names the file.
  const std::string gif = dir_.WriteFile("picture.gif", "GIF89a and the rest");
  try {
    OpenPictureReader(gif);
    ADD_FAILURE() << "a GIF was opened";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("picture.gif"), std::string::npos) << error.what();
  }

  EXPECT_EQ(PictureFormatOf("\xFF\xD8\xFF\xE0"), PictureFormat::kJpeg);
  EXPECT_EQ(PictureFormatOf(std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16)),
            PictureFormat::kPng);
  EXPECT_EQ(PictureFormatOf(std::string("\x89PNG\r\n\x1A", 7)), PictureFormat::kUnknown);
  EXPECT_EQ(PictureFormatOf(std::string("BM\0\0\0\0\0\0\0\0\0\0\0\0\x7C\0\0\0", 18)),
            PictureFormat::kBmp);
  // "BM" alone starts many a text file: the header size must be one bitmaps have.
  EXPECT_EQ(PictureFormatOf("BMW is a car maker, not a picture"), PictureFormat::kUnknown);
  EXPECT_EQ(PictureFormatOf(""), PictureFormat::kUnknown);
}

TEST_F(PictureReaderTest, ReadsTheSizeOfEveryFormatFromItsHeader) {
  const Bytes rgb = Colours(33, 17);
  const std::string jpeg = dir_.Native("picture.jpg");
  const std::string png = dir_.Native("picture.png");
  WriteJpeg(jpeg, 33, 17, rgb);
  WritePng(png, 33, 17, rgb);
  EXPECT_EQ(ReadPictureSize(jpeg), "33x17");
  EXPECT_EQ(ReadPictureSize(png), "33x17");
  const auto sizeOf = [this](const std::string& name, const Bytes& bytes) {
    const std::string path = dir_.Native(name);
    testing::WriteBytes(path, bytes);
    return ReadPictureSize(path);
  };
  EXPECT_EQ(sizeOf("bottom-up.bmp", Bitmap24(33, 17, rgb)), "33x17");
  EXPECT_EQ(sizeOf("top-down.bmp", Bitmap24(33, -17, rgb)), "33x17");
  // OS/2's header: 16-bit sides.
  EXPECT_EQ(sizeOf("os2.bmp", {'B', 'M', 0, 0, 0, 0,    0,    0,    0,    0, 26, 0,  0,
                               0,   12,  0, 0, 0, 0x20, 0x03, 0x58, 0x02, 1, 0,  24, 0}),
            "800x600");

  // Only the header is read: a size is given for a picture too large to decode.
  Bytes png16 = testing::ReadBytes(png);
  const auto setIhdr = [&png16](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) png16[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
  };
  setIhdr(16, 0x7FFFFFFF);
  EXPECT_EQ(sizeOf("widest.png", png16), "2147483647x17");
  setIhdr(16, 0x80000000);
  EXPECT_EQ(sizeOf("too-wide.png", png16), "");
  setIhdr(16, 0);
  EXPECT_EQ(sizeOf("no-width.png", png16), "");
  setIhdr(16, 33);
  setIhdr(8, 14);  // IHDR's length
  EXPECT_EQ(sizeOf("long-ihdr.png", png16), "");
  setIhdr(8, 13);
  png16[15] = 'X';
  EXPECT_EQ(sizeOf("not-ihdr.png", png16), "");

  Bytes bmp = Bitmap24(33, 17, rgb);
  bmp[22] = bmp[23] = bmp[24] = bmp[25] = 0;  // no height
  EXPECT_EQ(sizeOf("no-height.bmp", bmp), "");
  EXPECT_EQ(sizeOf("cut.bmp", Bytes(bmp.begin(), bmp.begin() + 20)), "");
  EXPECT_EQ(sizeOf("empty.jpg", {}), "");
  EXPECT_EQ(sizeOf("garbage.png", {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
            "");
  EXPECT_EQ(ReadPictureSize(dir_.Native("missing.png")), "");
}

}  // namespace
}  // namespace dova
