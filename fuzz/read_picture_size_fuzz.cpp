// Feeds arbitrary bytes, as a file, to ReadPictureSize, as the picture list does for every file
// it shows. Whatever the bytes, it must come back with "" or "<width>x<height>" in plain decimal:
// a JPEG's sides up to 65535 (its height may be 0, given later in the file), a PNG's or bitmap's
// from 1 to 2^31 - 1, and "" for content of no known format.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input_file.h"
#include "wallpaper/picture_reader.h"

namespace {

// A decimal number without leading zeros from text[pos...], no larger than `largest`.
bool ReadNumber(const std::string& text, std::size_t& pos, long long largest, long long& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 11) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  const std::size_t digits = pos - start;
  if (digits == 0 || digits > 10 || (digits > 1 && text[start] == '0')) return false;
  return value <= largest;
}

bool IsSizeText(const std::string& text, dova::PictureFormat format) {
  const bool jpeg = format == dova::PictureFormat::kJpeg;
  const long long largest = jpeg ? 65535 : 0x7FFFFFFF;
  std::size_t pos = 0;
  long long width = 0, height = 0;
  if (!ReadNumber(text, pos, largest, width) || width == 0) return false;
  if (pos >= text.size() || text[pos] != 'x') return false;
  ++pos;
  return ReadNumber(text, pos, largest, height) && pos == text.size() && (jpeg || height > 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static dova::FuzzInputFile input;
  const std::string text = dova::ReadPictureSize(input.Write(data, size));
  if (text.empty()) return 0;
  const dova::PictureFormat format = dova::PictureFormatOf(
      std::string(reinterpret_cast<const char*>(data), size < 18 ? size : 18));
  dova::FuzzCheck(format != dova::PictureFormat::kUnknown,
                  "a size \"" + text + "\" for content of no known format");
  dova::FuzzCheck(IsSizeText(text, format),
                  "ReadPictureSize gave \"" + text + "\", neither empty nor <width>x<height>");
  return 0;
}
