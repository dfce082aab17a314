// Decoding a PNG file with libpng, a few rows at a time, top row first. Every kind of PNG is
// read: grey, grey with alpha, palette, RGB and RGBA, at every bit depth and interlaced or not.
// Grey pictures without transparency come out as 8-bit grey, all others as 24-bit blue, green,
// red; 16-bit samples are scaled to 8 bits (rounded), and transparent pixels (alpha, or a tRNS
// colour) are laid over the background colour of the options (wallpaper/alpha_blend.h). Pixels
// are left as stored: no gamma or colour profile is applied, as for JPEG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "wallpaper/picture_reader.h"

namespace dova {

// Failures: dova::Error with a message that names the file when it cannot be opened, is not a
// PNG, breaks a limit (a side over maxDimension, more than maxPixels pixels, more than
// maxLibraryMemory of library or interlace memory) or is damaged: cut short, a chunk's checksum
// wrong, the compressed image data broken (its own checksum included) or too short. Damage
// found after the last row throws from the ReadRows call that reads it, so no part of a damaged
// picture is ever taken for the whole. Ancillary chunks (text, colour profiles, times) are
// skipped. ConversionCancelled when the options' cancel flag is set; it is looked at between
// rows and while the file is read.
class PngRowReader : public PictureRowReader {
 public:
  // Opens the file and reads everything up to the image data.
  explicit PngRowReader(const std::string& path, const PictureReadOptions& options = {});
  ~PngRowReader() override;
  PngRowReader(const PngRowReader&) = delete;
  PngRowReader& operator=(const PngRowReader&) = delete;

  int Width() const override;
  int Height() const override;
  int BitsPerPixel() const override;  // 8 (grey) or 24 (blue, green, red)
  int RowsRead() const override;

  // An interlaced picture is decoded whole by the first call (its passes spread over all its
  // rows), into memory counted against maxLibraryMemory; others a row at a time.
  int ReadRows(std::uint8_t* const* rows, int count) override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// The size text of a PNG file, "%dx%d", from its IHDR chunk (which must come right after the
// signature, with length 13; each side 1 to 2^31 - 1), or "". Never throws.
std::string ReadPngSize(const std::string& path);

}  // namespace dova
