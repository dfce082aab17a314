// Decoding a Windows or OS/2 bitmap file, a few rows at a time, top row first, reading only the
// rows asked for from the file. Read: every header in use (wallpaper/bmp_header.h); 1, 4 and
// 8-bit palette pictures, uncompressed or run-length encoded (RLE4, RLE8); 16-bit (5-5-5 unless
// BI_BITFIELDS gives the masks), 24-bit, and 32-bit pictures (the fourth byte unused, or
// BI_BITFIELDS masks); rows stored bottom-up or top-down. Refused: JPEG or PNG data inside a
// bitmap, OS/2's Huffman and RLE24 encodings, masks that are not runs of bits.
//
// A picture whose palette is all grey comes out as 8-bit grey, all others as 24-bit blue,
// green, red; mask fields of other widths than 8 bits are scaled to 8 rounded to the nearest.
// An alpha mask (a header of 56 bytes or more, V4 and V5 among them, or BI_ALPHABITFIELDS) is
// honoured when some pixel has alpha other than zero, as other programs do: those pictures are
// laid over the options' background (wallpaper/alpha_blend.h), while all-zero alpha means a
// writer that left the byte unused. Pixels an RLE picture skips show the background too.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "wallpaper/picture_reader.h"

namespace dova {

// Failures: dova::Error with a message that names the file when it cannot be opened, is not a
// bitmap of a kind read here, breaks a limit (the options' sides and pixels; an RLE picture,
// decoded whole, counts 3 bytes a pixel against maxLibraryMemory), or is damaged: shorter than
// its pixel data (found before any row is read) or, for RLE, ending before its last row.
// ConversionCancelled when the options' cancel flag is set, looked at between bands of rows.
class BmpRowReader : public PictureRowReader {
 public:
  // Opens the file and reads its headers and palette. A picture with an alpha mask is read
  // through once here, to see whether any alpha is set.
  explicit BmpRowReader(const std::string& path, const PictureReadOptions& options = {});
  ~BmpRowReader() override;
  BmpRowReader(const BmpRowReader&) = delete;
  BmpRowReader& operator=(const BmpRowReader&) = delete;

  int Width() const override;
  int Height() const override;
  int BitsPerPixel() const override;  // 8 (grey) or 24 (blue, green, red)
  int RowsRead() const override;

  // An RLE picture is decoded whole by the first call.
  int ReadRows(std::uint8_t* const* rows, int count) override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// The size text of a bitmap file, "%dx%d", from its info header (the height of a top-down
// picture as a positive number), or "". Never throws.
std::string ReadBmpSize(const std::string& path);

}  // namespace dova
