#include "platform/unicode_text.h"

namespace dova {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Reads one sequence at `i`. `allowSurrogates` accepts the three-byte form of U+D800..U+DFFF.
// Returns the number of bytes taken (0 when the bytes at `i` start no sequence).
std::size_t DecodeOne(const std::string& text, std::size_t i, bool allowSurrogates,
                      char32_t& codePoint) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const std::size_t left = text.size() - i;
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length;
  char32_t value, smallest;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    return 0;
  }
  if (left < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if (!IsContinuation(byte(k))) return 0;
    value = (value << 6) | (byte(k) & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF) return 0;
  if (value >= 0xD800 && value <= 0xDFFF && !allowSurrogates) return 0;
  codePoint = value;
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::u16string Utf16FromUtf8(const std::string& utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    const std::size_t taken = DecodeOne(utf8, i, true, c);
    if (taken == 0) {
      out += static_cast<char16_t>(kReplacement);
      ++i;
      continue;
    }
    i += taken;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string Utf8FromUtf16(const std::u16string& utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(
          out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, unit);  // a lone surrogate keeps its own three bytes
    }
  }
  return out;
}

bool IsValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t taken = DecodeOne(text, i, false, c);
    if (taken == 0) return false;
    i += taken;
  }
  return true;
}

std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t taken = 0; taken < count && i < text.size(); ++taken) {
    char32_t c = 0;
    const std::size_t length = DecodeOne(text, i, true, c);
    i += length == 0 ? 1 : length;
  }
  return text.substr(0, i);
}

bool HasNonAscii(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool StartsWithUtf8Bom(const std::string& bytes) { return bytes.compare(0, 3, kUtf8Bom) == 0; }

namespace {

enum class Utf16Order { None, LittleEndian, BigEndian };

Utf16Order Utf16BomOrder(const std::string& bytes) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return Utf16Order::LittleEndian;
  if (bytes.compare(0, 2, "\xFE\xFF") == 0) return Utf16Order::BigEndian;
  return Utf16Order::None;
}

}  // namespace

bool StartsWithByteOrderMark(const std::string& bytes) {
  return StartsWithUtf8Bom(bytes) || Utf16BomOrder(bytes) != Utf16Order::None;
}

std::optional<std::string> TextAfterByteOrderMark(const std::string& bytes) {
  if (StartsWithUtf8Bom(bytes)) return bytes.substr(3);
  const Utf16Order order = Utf16BomOrder(bytes);
  if (order == Utf16Order::None) return std::nullopt;
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(order == Utf16Order::LittleEndian ? first | second << 8
                                                                            : first << 8 | second));
  }
  if (bytes.size() % 2 != 0) units.push_back(u'\uFFFD');
  return Utf8FromUtf16(units);
}

}  // namespace dova
