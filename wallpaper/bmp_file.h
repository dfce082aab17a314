// Windows bitmap files: 24-bit pictures and 8-bit pictures with a grey palette, rows stored
// bottom-up and padded to four bytes, readable by any program that reads BMP.
#pragma once

#include <string>

#include "wallpaper/bitmap.h"

namespace dova {

// Writes the picture to `path` + ".new" and then moves it over any file at `path`, so that
// `path` holds either its old contents or the whole new bitmap. Throws dova::Error when the
// bitmap cannot be written completely (disk full, device error) or moved into place; the
// partial file is removed and `path` is left as it was.
void SaveBmpFile(const Bitmap& picture, const std::string& path);

// Reads a BMP file written by SaveBmpFile (8 or 24 bits, uncompressed). For tests and tools.
// Throws dova::Error when the file is not such a bitmap.
Bitmap LoadBmpFile(const std::string& path);

}  // namespace dova
