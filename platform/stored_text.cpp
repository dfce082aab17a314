#include "platform/stored_text.h"

#include "platform/code_page.h"
#include "platform/unicode_text.h"

namespace dova {

std::string DecodeStoredText(const std::string& bytes, unsigned codePage) {
  if (std::optional<std::string> text = TextAfterByteOrderMark(bytes)) return *text;
  return CodePageToUtf8(bytes, codePage);
}

std::string DecodeStoredText(const std::string& bytes) {
  return DecodeStoredText(bytes, AnsiCodePage());
}

std::string EncodeStoredText(const std::string& text, unsigned codePage) {
  std::string bytes;
  // Code-page bytes that happen to start as a byte order mark ("ï»¿" or "ÿþ" in Windows-1252)
  // would be read back as UTF-8 or UTF-16: such a text is stored as UTF-8 too.
  if (Utf8ToCodePage(text, codePage, bytes) && !StartsWithByteOrderMark(bytes)) return bytes;
  return kUtf8Bom + text;
}

std::string EncodeStoredText(const std::string& text) {
  return EncodeStoredText(text, AnsiCodePage());
}

TextCoding StoredTextCoding() {
  TextCoding coding;
  coding.decode = [](const std::string& bytes) { return DecodeStoredText(bytes); };
  coding.encode = [](const std::string& text) { return EncodeStoredText(text); };
  return coding;
}

std::unique_ptr<IniFile> OpenStoredIniFile(const std::string& path) {
  return OpenCodedIniFile(path, StoredTextCoding());
}

}  // namespace dova
