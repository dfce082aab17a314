// The converters at the Win32 boundary: the program's UTF-8 texts to the UTF-16 of the wide
// (...W) functions and back. Every call of a wide function goes through these two.
#pragma once

#include <string>

namespace dova {

std::wstring Wide(const std::string& utf8);

std::string Utf8(const std::wstring& wide);
// A zero-ended text, as the system's structures hold them; "" for null.
std::string Utf8(const wchar_t* wide);

}  // namespace dova
