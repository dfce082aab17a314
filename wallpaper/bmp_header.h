// The headers at the start of a bitmap file, as Windows and OS/2 programs write them: the
// 14-byte file header, then an info header of one of the sizes in use (12: OS/2 1.x's
// BITMAPCOREHEADER; 16 and 64: OS/2 2.x; 40: BITMAPINFOHEADER; 52 and 56: its extensions with
// colour masks; 108: V4; 124: V5) and, after a 40-byte one, the colour masks of a
// BI_BITFIELDS picture. All numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dova {

// Bytes from the start of the file that hold every header ParseBmpHeader reads.
constexpr std::size_t kBmpHeadBytes = 14 + 124;

// How the pixel data is stored, as the info header names it.
enum BmpCompression : std::uint32_t {
  kBmpRgb = 0,
  kBmpRle8 = 1,
  kBmpRle4 = 2,
  kBmpBitfields = 3,  // OS/2 2.x: Huffman 1D
  kBmpJpeg = 4,       // OS/2 2.x: RLE24
  kBmpPng = 5,
  kBmpAlphaBitfields = 6,
};

struct BmpHeader {
  std::uint32_t pixelOffset = 0;  // of the pixel data, from the start of the file
  std::uint32_t infoSize = 0;     // the info header's size, which tells its kind
  bool os2 = false;               // an OS/2 header (12, 16 or 64 bytes)
  int width = 0;                  // at least 1
  int height = 0;                 // at least 1
  bool topDown = false;           // rows stored top row first (a negative height)
  int bitsPerPixel = 0;
  std::uint32_t compression = kBmpRgb;
  std::uint32_t coloursUsed = 0;  // palette entries the header names; 0 for "all"
  // The masks of a BI_BITFIELDS or BI_ALPHABITFIELDS picture, as stored; the alpha mask also
  // from a header of 56 bytes or more. All zero for other pictures.
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
  std::uint32_t paletteOffset = 0;  // where the palette would start
  int paletteEntryBytes = 4;        // blue, green, red and a spare byte; 3 for OS/2 1.x
};

// Reads the headers from `head`, the file's first `size` bytes (kBmpHeadBytes, or the whole file
// when it is shorter). Returns false, with the reason in `problem`, when they are not the
// headers of a bitmap file or give no size. Checks the structure only: whether the bits per
// pixel and the compression make a picture that can be decoded is the reader's to say.
bool ParseBmpHeader(const std::uint8_t* head, std::size_t size, BmpHeader* header,
                    std::string* problem);

// Whether `size` is an info header size found in bitmap files.
bool IsBmpInfoSize(std::uint32_t size);

}  // namespace dova
