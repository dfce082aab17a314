// A picture file decoded a few rows at a time, whatever its format: JPEG, PNG or BMP, told
// apart by the file's first bytes, never by its name. Every reader gives the rows as the rest
// of the program takes them: 8-bit grey or 24-bit blue-green-red, top row first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "wallpaper/bitmap.h"
#include "wallpaper/cancellation.h"

namespace dova {

// Limits that keep a hostile or broken file from taking the machine, for every format: pictures
// larger than this are refused before anything of their size is allocated, and a decoder's own
// working memory is bounded. JpegLimits (wallpaper/jpeg_decoder.h) adds those of JPEG alone.
struct PictureLimits {
  long long maxPixels = 120'000'000;  // larger than any camera or 8K screen shot
  int maxDimension = 32'768;
  long maxLibraryMemory = 512L << 20;
};

// Why a width x height picture breaks the limits, as a reason for an error message ("the
// picture is 40000x30000 pixels, larger than..."); empty when it keeps to them.
std::string SizeOverLimits(long long width, long long height, const PictureLimits& limits);

// A colour as 0xRRGGBB.
using PackedRgb = std::uint32_t;

class PictureRowReader {
 public:
  virtual ~PictureRowReader() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int BitsPerPixel() const = 0;  // 8 (grey) or 24 (blue, green, red)
  virtual int RowsRead() const = 0;      // the next call's first row

  // Decodes the next rows into rows[0] .. rows[count - 1], each Width() * BitsPerPixel() / 8
  // bytes; fewer at the end of the picture. Returns how many. Throws dova::Error when the
  // picture is damaged (at the latest when its last row is read) and ConversionCancelled when
  // the reader's cancel flag was set.
  virtual int ReadRows(std::uint8_t* const* rows, int count) = 0;

  // The rows not read yet, that is every row of a fresh reader, as a bitmap of the whole
  // picture (rows already read are left black). Throws as ReadRows, and dova::Error when the
  // bitmap does not fit in memory.
  virtual Bitmap ReadPicture();
};

struct PictureReadOptions {
  PictureLimits limits;
  const CancelFlag* cancel = nullptr;  // looked at while the decoder works
  // What shows through transparent pixels (PNG alpha or tRNS, a bitmap's alpha mask, the pixels
  // an RLE bitmap skips): they are blended over this (wallpaper/alpha_blend.h).
  PackedRgb background = 0x000000;
};

enum class PictureFormat { kUnknown, kJpeg, kPng, kBmp };

// The format of the bytes `head` (the file's first bytes; 18 are enough): JPEG by its
// start-of-image marker, PNG by its 8-byte signature, BMP by "BM" and an info header size found
// in bitmap files.
PictureFormat PictureFormatOf(const std::string& head);

// Opens the picture file at `path` and reads its header, choosing the decoder by the file's
// content. Throws dova::Error, naming the file, when it cannot be opened, is of no format known
// here (a file of unknown content is read as JPEG, whose error says so), breaks a limit or is
// broken beyond decoding.
std::unique_ptr<PictureRowReader> OpenPictureReader(const std::string& path,
                                                    const PictureReadOptions& options = {});

// The size text of a picture file, "%dx%d" ("1024x768"), read from its header without decoding
// the picture; "" when the file cannot be opened, is of no known format or no size was found.
// Never raises an error.
std::string ReadPictureSize(const std::string& path);

}  // namespace dova
