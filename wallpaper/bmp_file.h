// Windows bitmap files: 24-bit pictures and 8-bit pictures with a grey palette, rows stored
// bottom-up and padded to four bytes, readable by any program that reads BMP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "wallpaper/bitmap.h"

namespace dova {

class FileReplacement;

// Writes the picture to `path` + ".new" and then moves it over any file at `path`, so that
// `path` holds either its old contents or the whole new bitmap. Throws dova::Error when the
// bitmap cannot be written completely (disk full, device error) or moved into place; the
// partial file is removed and `path` is left as it was.
void SaveBmpFile(const Bitmap& picture, const std::string& path);

// A BMP file written a band of rows at a time, in any order and from any thread: each band goes
// straight to its place in the file, so a picture can be written while it is being made,
// without ever being held whole. The file on disk has the same bytes SaveBmpFile writes.
class BmpFileWriter {
 public:
  // Writes the headers to a new file beside `path` (its name + ".new"), which Finish moves to
  // `path` once it is whole, so that a file at `path` is always a whole bitmap. Throws
  // dova::Error when it cannot, or when the picture is empty or too large for a bitmap file.
  BmpFileWriter(const std::string& path, int width, int height, int bitsPerPixel);
  // A file not finished with Finish() is closed and removed: no half-written picture is left.
  ~BmpFileWriter();
  BmpFileWriter(const BmpFileWriter&) = delete;
  BmpFileWriter& operator=(const BmpFileWriter&) = delete;

  // Bytes of one row in the file: the pixels padded with zeros to four bytes.
  std::size_t Stride() const { return stride_; }

  // Writes rows first .. first + count - 1 from `band`, which holds them as the file does:
  // bottom-up (row first + count - 1 at the start), each Stride() bytes, padding included.
  // Throws dova::Error (removing the file) when the file cannot be written.
  void WriteBand(int first, int count, const std::uint8_t* band);

  // Writes `count` pixels of rows row .. row + rows - 1 from column x on (24-bit pictures
  // only; a row's padding goes with its last pixel); those of row + r start at pixels + r * step.
  // Together with WriteBand, every pixel must be written once. Throws as WriteBand does.
  void WritePixels(int row, int x, int count, const std::uint8_t* pixels, int rows = 1,
                   std::ptrdiff_t step = 0);

  // Makes sure everything reached the file, closes it and moves it to `path`. Throws
  // dova::Error (removing the new file) when it did not. Every row must have been written.
  void Finish();

 private:
  int width_, height_, bitsPerPixel_;
  std::size_t stride_;
  std::uint32_t pixelOffset_;
  std::mutex mutex_;  // one band at a time through the file's position
  std::unique_ptr<FileReplacement> file_;
  long long rowsWritten_ = 0;
  long long pixelsWritten_ = 0;  // by WritePixels
};

// Reads a BMP file written by SaveBmpFile (8 or 24 bits, uncompressed). For tests and tools.
// Throws dova::Error when the file is not such a bitmap.
Bitmap LoadBmpFile(const std::string& path);

}  // namespace dova
