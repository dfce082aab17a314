// Windows bitmap files: 24-bit pictures and 8-bit pictures with a grey palette, rows stored
// bottom-up and padded to four bytes, readable by any program that reads BMP.
#pragma once

#include <string>

#include "wallpaper/bitmap.h"

namespace dova {

// Writes the picture to `path`, replacing any file there. Throws dova::Error when the file
// cannot be written completely (a partial file is removed).
void SaveBmpFile(const Bitmap& picture, const std::string& path);

// Reads a BMP file written by SaveBmpFile (8 or 24 bits, uncompressed). For tests and tools.
// Throws dova::Error when the file is not such a bitmap.
Bitmap LoadBmpFile(const std::string& path);

}  // namespace dova
