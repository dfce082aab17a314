// UTF-8, the program's text inside, and UTF-16, the text of the wide Windows functions.
//
// Windows allows file names that are not well-formed UTF-16 (a lone half of a surrogate pair).
// Such a half is carried in UTF-8 as the three bytes its code unit would take (the "WTF-8" form),
// so every name the system gives comes back to it unchanged.
#pragma once

#include <optional>
#include <string>

namespace dova {

// UTF-8 to UTF-16. A byte that starts no well-formed sequence becomes U+FFFD; the three-byte
// form of a lone surrogate becomes that surrogate.
std::u16string Utf16FromUtf8(const std::string& utf8);

// UTF-16 to UTF-8; a lone surrogate becomes its three-byte form.
std::string Utf8FromUtf16(const std::u16string& utf16);

// True when `text` is well-formed UTF-8 (ASCII included; surrogates and overlong forms not).
bool IsValidUtf8(const std::string& text);

// True when `text` holds a byte of 0x80 or more.
bool HasNonAscii(const std::string& text);

// The first `count` characters of UTF-8 text; a byte that starts no well-formed sequence counts
// as one character.
std::string FirstCharacters(const std::string& text, std::size_t count);

// The UTF-8 byte order mark, "\xEF\xBB\xBF".
extern const char kUtf8Bom[];

// True when `bytes` starts with the UTF-8 byte order mark.
bool StartsWithUtf8Bom(const std::string& bytes);

// True when `bytes` starts with a byte order mark: UTF-8 (EF BB BF) or UTF-16, little-endian
// (FF FE, what Notepad calls "Unicode") or big-endian (FE FF).
bool StartsWithByteOrderMark(const std::string& bytes);

// The UTF-8 text of bytes that start with a byte order mark, the mark dropped; nothing for
// bytes without one. A last odd byte of UTF-16 becomes U+FFFD.
std::optional<std::string> TextAfterByteOrderMark(const std::string& bytes);

}  // namespace dova
