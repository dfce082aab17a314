// Decoding a JPEG file at full size with libjpeg: colour pictures (YCbCr, RGB, Adobe CMYK and
// YCCK) become 24-bit blue-green-red, greyscale pictures 8-bit grey.
#pragma once

#include <string>

#include "wallpaper/bitmap.h"

namespace dova {

// Limits that keep a hostile or broken file from taking the machine: pictures larger than this
// are refused before anything of their size is allocated, progressive files with more scans are
// stopped, and the library's own working memory is bounded.
struct JpegLimits {
  long long maxPixels = 120'000'000;     // larger than any camera or 8K screen shot
  int maxDimension = 32'768;
  int maxScans = 500;
  // Each scan of a multi-scan file makes the library pass over the whole picture: scans times
  // pixels bounds that work (25 scans of the largest picture, where real files have 3 to 20),
  // so a small file cannot keep the decoder busy for minutes.
  long long maxScanPixels = 3'000'000'000;
  long maxLibraryMemory = 512L << 20;
};

// Throws dova::Error with a message that names the file when the file cannot be opened, is not
// a JPEG, is broken beyond decoding, breaks a limit, or is damaged: its data ends before the
// picture is complete, or is corrupt over a large part of it (the line is drawn in
// wallpaper/jpeg_damage.h). Small flaws libjpeg decodes fully (stray bytes between segments, a
// missing end marker after complete scans) give the picture.
Bitmap DecodeJpegFile(const std::string& path, const JpegLimits& limits = JpegLimits());

// The same from bytes in memory (used by the fuzz target and the tests).
Bitmap DecodeJpegMemory(const unsigned char* data, std::size_t size,
                        const JpegLimits& limits = JpegLimits());

}  // namespace dova
