// A bitmap file built field by field, as each kind of writer lays it out, and a fixture that
// writes such files and decodes them with BmpRowReader. Only the bitmap reader's tests include
// this.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/bmp_reader.h"

namespace dova::testing {

// A bitmap file laid out field by field, as a writer of each header kind makes it.
struct BmpLayout {
  std::uint32_t infoSize = 40;
  int width = 0;
  int height = 0;  // negative: top-down
  int bits = 24;
  std::uint32_t compression = 0;
  // Red, green, blue (and alpha): inside a header of 52 bytes or more, else after it.
  std::vector<std::uint32_t> masks;
  Bytes palette;  // as stored: 4 bytes an entry, 3 after a 12-byte header
  std::uint32_t coloursUsed = 0;
  Bytes pixels;  // as stored, rows padded to four bytes
};

inline void Put16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

inline Bytes MakeBmp(const BmpLayout& layout) {
  Bytes info;
  Put32(info, layout.infoSize);
  if (layout.infoSize == 12) {
    Put16(info, static_cast<std::uint32_t>(layout.width));
    Put16(info, static_cast<std::uint32_t>(layout.height));
    Put16(info, 1);
    Put16(info, static_cast<std::uint32_t>(layout.bits));
  } else {
    Put32(info, static_cast<std::uint32_t>(layout.width));
    Put32(info, static_cast<std::uint32_t>(layout.height));
    Put16(info, 1);
    Put16(info, static_cast<std::uint32_t>(layout.bits));
    if (layout.infoSize >= 40) {
      Put32(info, layout.compression);
      Put32(info, static_cast<std::uint32_t>(layout.pixels.size()));
      Put32(info, 2835);
      Put32(info, 2835);
      Put32(info, layout.coloursUsed);
      Put32(info, 0);
    }
  }
  const bool masksInside = layout.infoSize >= 52 && layout.infoSize != 64;
  if (masksInside) {
    for (std::size_t i = 0; i < 4 && 40 + 4 * i < layout.infoSize; ++i)
      Put32(info, i < layout.masks.size() ? layout.masks[i] : 0);
  }
  info.resize(layout.infoSize, 0);
  if (!masksInside)
    for (std::uint32_t mask : layout.masks) Put32(info, mask);

  Bytes file = {'B', 'M'};
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + layout.palette.size());
  Put32(file, static_cast<std::uint32_t>(offset + layout.pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), layout.palette.begin(), layout.palette.end());
  file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
  return file;
}

// Blue, green, red (and the spare byte) palette entries.
inline Bytes Palette(std::initializer_list<std::uint32_t> rgbColours, int entryBytes = 4) {
  Bytes out;
  for (std::uint32_t rgb : rgbColours) {
    out.push_back(static_cast<std::uint8_t>(rgb));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));
    if (entryBytes == 4) out.push_back(0);
  }
  return out;
}

class BmpReaderFixture : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_.Native(name);
    WriteBytes(path, bytes);
    return path;
  }
  Bytes Decode(const BmpLayout& layout, const PictureReadOptions& options = {},
               int* bitsPerPixel = nullptr) {
    const Bitmap picture =
        BmpRowReader(Write("picture.bmp", MakeBmp(layout)), options).ReadPicture();
    if (bitsPerPixel) *bitsPerPixel = picture.BitsPerPixel();
    return PackedPixels(picture);
  }
  std::string DecodeError(const Bytes& file, const PictureReadOptions& options = {}) {
    const std::string path = Write("damaged.bmp", file);
    try {
      BmpRowReader(path, options).ReadPicture();
    } catch (const Error& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("Unable to decode the BMP picture " + path + ": "), std::string::npos)
          << message;
      return message;
    }
    return "";
  }
  TempDir dir_;
};

}  // namespace dova::testing
