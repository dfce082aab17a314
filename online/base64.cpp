#include "online/base64.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

namespace dova {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::ptrdiff_t Base64Encode(const void* data, std::size_t count, char** output) {
  // count * 4 / 3 + 4 bytes hold the text and its zero for every count; computed without
  // overflowing for counts near the top of size_t.
  const std::size_t groups = count / 3;
  const std::size_t maxGroups =
      (static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()) - 8) / 4;
  if (groups > maxGroups) return -1;
  const std::size_t size = groups * 4 + (count % 3) * 4 / 3 + 4;
  char* text = static_cast<char*>(std::malloc(size));
  if (text == nullptr) return -1;

  const unsigned char* in = static_cast<const unsigned char*>(data);
  char* out = text;
  std::size_t i = 0;
  for (; i + 3 <= count; i += 3) {
    const std::uint32_t v =
        (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = kAlphabet[(v >> 6) & 63];
    *out++ = kAlphabet[v & 63];
  }
  const std::size_t left = count - i;
  if (left > 0) {
    std::uint32_t v = std::uint32_t{in[i]} << 16;
    if (left == 2) v |= std::uint32_t{in[i + 1]} << 8;
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  *out = '\0';
  *output = text;
  return out - text;
}

std::string Base64EncodeText(const std::string& bytes) {
  char* text = nullptr;
  const std::ptrdiff_t length = Base64Encode(bytes.data(), bytes.size(), &text);
  if (length < 0) throw std::bad_alloc();
  std::string result(text, static_cast<std::size_t>(length));
  std::free(text);
  return result;
}

}  // namespace dova
