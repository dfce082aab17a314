// Feeds arbitrary bytes to the JPEG size reader through a real file, as the picture list does.
// Whatever the bytes, the reader must come back (no endless walk, which libFuzzer reports as a
// timeout) with the empty text or "<width>x<height>": a width of 1 to 65535 and a height of 0 to
// 65535 in plain decimal. Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input_file.h"
#include "wallpaper/jpeg_info.h"

namespace {

// Parses a decimal number of 1 to 5 digits without leading zeros from text[pos...], up to 65535.
bool ReadNumber(const std::string& text, std::size_t& pos, long& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 6) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  const std::size_t digits = pos - start;
  if (digits == 0 || digits > 5) return false;
  if (digits > 1 && text[start] == '0') return false;
  return value <= 65535;
}

bool IsSizeText(const std::string& text) {
  if (text.empty()) return true;
  std::size_t pos = 0;
  long width = 0;
  long height = 0;
  if (!ReadNumber(text, pos, width) || width == 0) return false;
  if (pos >= text.size() || text[pos] != 'x') return false;
  ++pos;
  return ReadNumber(text, pos, height) && pos == text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static dova::FuzzInputFile input;
  const std::string size_text = dova::ReadJpegSize(input.Write(data, size));
  if (!IsSizeText(size_text)) {
    std::fprintf(stderr, "ReadJpegSize gave \"%s\", neither empty nor <width>x<height>\n",
                 size_text.c_str());
    std::abort();
  }
  return 0;
}
