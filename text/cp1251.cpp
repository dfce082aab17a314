#include "text/cp1251.h"

namespace dova {

namespace {

// Code points of the bytes 0x80..0xBF of Windows-1251; 0xC0..0xFF are U+0410..U+044F.
const unsigned short kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char Encode(unsigned codePoint) {
  if (codePoint < 0x80) return static_cast<char>(codePoint);
  if (codePoint >= 0x0410 && codePoint <= 0x044F) return static_cast<char>(codePoint - 0x0410 + 0xC0);
  for (int i = 0; i < 64; ++i)
    if (kHighHalf[i] == codePoint) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string Cp1251(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size()) length = 1;
    unsigned codePoint = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k)
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += (length == 1 && lead >= 0x80) ? '?' : Encode(codePoint);
    i += length;
  }
  return out;
}

}  // namespace dova
