// Code pages through the system's own tables.
#include <windows.h>

#include <string>

#include "platform/code_page.h"
#include "platform/unicode_text.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

std::wstring FromCodePage(const std::string& bytes, unsigned codePage) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

unsigned AnsiCodePage() { return GetACP(); }

std::string CodePageToUtf8(const std::string& bytes, unsigned codePage) {
  // A system set to UTF-8 as its ANSI code page: the bytes are the text already.
  if (codePage == CP_UTF8) return bytes;
  return Utf8(FromCodePage(bytes, codePage));
}

bool Utf8ToCodePage(const std::string& utf8, unsigned codePage, std::string& bytes) {
  if (!IsValidUtf8(utf8)) return false;
  if (codePage == CP_UTF8) {
    bytes = utf8;
    return true;
  }
  bytes.clear();
  if (utf8.empty()) return true;
  const std::wstring wide = Wide(utf8);
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  bytes.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length,
                      nullptr, &usedDefault);
  // Some tables map a character to bytes that read back as another: only an exact way back
  // counts as fitting.
  return !usedDefault && FromCodePage(bytes, codePage) == wide;
}

}  // namespace dova
