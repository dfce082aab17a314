// Code pages through iconv. Single-byte pages are read through a table of their 256 bytes made
// once, in which a byte iconv leaves undefined stands for the control character of its value, as
// in Windows' own tables; so every byte reads as some character and writes back as itself.
#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/code_page.h"
#include "platform/unicode_text.h"

namespace dova {

namespace {

constexpr unsigned kUtf8CodePage = 65001;

bool IsDoubleByte(unsigned codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

std::string IconvName(unsigned codePage) {
  if (codePage == 950) return "BIG5";
  return "CP" + std::to_string(codePage);
}

// Converts with iconv; false when a character cannot be converted or iconv lacks the pages.
bool Convert(const char* to, const char* from, const std::string& input, std::string& output) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  output.clear();
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char buffer[4096];
  bool ok = true;
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    output.append(buffer, out);
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  iconv_close(converter);
  return ok;
}

struct SingleByteTable {
  std::array<std::string, 256> toUtf8;     // each byte's character
  std::map<std::string, char> fromUtf8;    // each character's byte
};

const SingleByteTable& TableOf(unsigned codePage) {
  static std::mutex mutex;
  static std::map<unsigned, SingleByteTable> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto found = tables.find(codePage);
  if (found != tables.end()) return found->second;
  SingleByteTable& table = tables[codePage];
  const std::string name = IconvName(codePage);
  for (int byte = 0; byte < 256; ++byte) {
    std::string character;
    if (!Convert("UTF-8", name.c_str(), std::string(1, static_cast<char>(byte)), character) ||
        character.empty()) {
      character.clear();
      // U+0000..U+00FF in UTF-8.
      if (byte < 0x80) {
        character += static_cast<char>(byte);
      } else {
        character += static_cast<char>(0xC0 | (byte >> 6));
        character += static_cast<char>(0x80 | (byte & 0x3F));
      }
    }
    table.toUtf8[byte] = character;
    table.fromUtf8.emplace(character, static_cast<char>(byte));
  }
  return table;
}

}  // namespace

unsigned AnsiCodePage() {
  const char* value = std::getenv("DOVA_ANSI_CODE_PAGE");
  const unsigned long number = value ? std::strtoul(value, nullptr, 10) : 0;
  return number > 0 ? static_cast<unsigned>(number) : kCodePageWestern;
}

std::string CodePageToUtf8(const std::string& bytes, unsigned codePage) {
  if (codePage == kUtf8CodePage) return bytes;
  if (IsDoubleByte(codePage)) {
    std::string text;
    Convert("UTF-8", IconvName(codePage).c_str(), bytes, text);
    return text;
  }
  const SingleByteTable& table = TableOf(codePage);
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) text += table.toUtf8[static_cast<unsigned char>(c)];
  return text;
}

bool Utf8ToCodePage(const std::string& utf8, unsigned codePage, std::string& bytes) {
  if (!IsValidUtf8(utf8)) return false;
  if (codePage == kUtf8CodePage) {
    bytes = utf8;
    return true;
  }
  if (IsDoubleByte(codePage)) return Convert(IconvName(codePage).c_str(), "UTF-8", utf8, bytes);
  const SingleByteTable& table = TableOf(codePage);
  bytes.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const auto found = table.fromUtf8.find(utf8.substr(i, length));
    if (found == table.fromUtf8.end()) return false;
    bytes += found->second;
    i += length;
  }
  return true;
}

}  // namespace dova
