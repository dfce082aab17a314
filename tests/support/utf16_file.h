// The bytes of a text file saved as UTF-16, as Notepad's "Unicode" (little-endian) and "Unicode
// big endian" save it: the byte order mark, then every code unit of the text. Made from a u""
// literal, independently of the program's own converters.
#pragma once

#include <string>

namespace dova::testing {

inline std::string Utf16FileBytes(const std::u16string& text, bool bigEndian = false) {
  std::string bytes;
  for (const char16_t unit : u"\uFEFF" + text) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

}  // namespace dova::testing
