// Decoding a JPEG file at full size with libjpeg: colour pictures (YCbCr, RGB, Adobe CMYK and
// YCCK) become 24-bit blue-green-red, greyscale pictures 8-bit grey. Either the whole picture at
// once (DecodeJpegFile) or row by row, top row first (JpegRowReader), with the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "wallpaper/bitmap.h"
#include "wallpaper/cancellation.h"
#include "wallpaper/picture_reader.h"

namespace dova {

// The limits of every picture (wallpaper/picture_reader.h) and those of JPEG files alone:
// progressive files with more scans are stopped.
struct JpegLimits : PictureLimits {
  int maxScans = 500;
  // Each scan of a multi-scan file makes the library pass over the whole picture: scans times
  // pixels bounds that work (25 scans of the largest picture, where real files have 3 to 20),
  // so a small file cannot keep the decoder busy for minutes.
  long long maxScanPixels = 3'000'000'000;
};

// Failures, here and below: dova::Error with a message that names the file when the file cannot
// be opened, is not a JPEG, is broken beyond decoding, breaks a limit, or is damaged: its data
// ends before the picture is complete, or is corrupt over a large part of it (the line is drawn
// in wallpaper/jpeg_damage.h). Small flaws libjpeg decodes fully (stray bytes between segments, a
// missing end marker after complete scans) give the picture. Damage shows once the last row is
// read: that ReadRows call throws.

// A picture decoded a few rows at a time, so that its rows can be used and forgotten as they
// come. Memory is the library's own working set: a few rows for a baseline file, the whole
// picture's coefficients (2 bytes a sample) for a progressive one. One thread at a time may use
// a reader; any thread may.
class JpegRowReader : public PictureRowReader {
 public:
  // Opens the file and reads the picture's header. `cancel`, when given, is looked at while the
  // library works: once set, the call under way throws ConversionCancelled.
  explicit JpegRowReader(const std::string& path, const JpegLimits& limits = JpegLimits(),
                         const CancelFlag* cancel = nullptr);
  // The same from bytes in memory, which must outlive the reader.
  JpegRowReader(const unsigned char* data, std::size_t size,
                const JpegLimits& limits = JpegLimits(), const CancelFlag* cancel = nullptr);
  ~JpegRowReader() override;
  JpegRowReader(const JpegRowReader&) = delete;
  JpegRowReader& operator=(const JpegRowReader&) = delete;

  int Width() const override;
  int Height() const override;
  int BitsPerPixel() const override;  // 8 (grey) or 24 (blue, green, red)
  int RowsRead() const override;      // the next call's first row

  // Decodes the next rows into rows[0] .. rows[count - 1], each Width() * BitsPerPixel() / 8
  // bytes; fewer at the end of the picture. Returns how many. The first call starts the
  // library's decompression, which reads a whole progressive file.
  int ReadRows(std::uint8_t* const* rows, int count) override;

  // The rows not read yet, that is every row of a fresh reader, as a bitmap of the whole
  // picture (rows already read are left black). Throws dova::Error also when the bitmap does
  // not fit in memory; it is allocated before the library's own buffers.
  Bitmap ReadPicture() override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// The whole picture at once.
Bitmap DecodeJpegFile(const std::string& path, const JpegLimits& limits = JpegLimits());

// The same from bytes in memory (used by the fuzz target and the tests).
Bitmap DecodeJpegMemory(const unsigned char* data, std::size_t size,
                        const JpegLimits& limits = JpegLimits());

}  // namespace dova
