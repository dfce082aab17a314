// The size of a JPEG picture read from its marker segments without decoding the picture.
#pragma once

#include <string>

namespace dova {

// "%dx%d" with width and height ("1024x768"), or "" when the file cannot be opened or no size
// was found. Only the header is read, segment by segment; never raises an error.
std::string ReadJpegSize(const std::string& path);

}  // namespace dova
