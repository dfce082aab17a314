// The text of the program's own files, "dova.ini" and "dova.lst". Earlier versions wrote them in
// the system's ANSI code page, and they are still written so whenever their text fits it, so an
// older copy of the program reads them as before. A text that does not fit (a picture named in
// Chinese letters on a Western system) makes the whole file UTF-8 with a byte order mark, which
// is the mark by which it is read back. A file a user saved as UTF-16 ("Unicode" in Notepad),
// which Windows' own profile functions read, is read too, and written back in one of the two
// forms above.
#pragma once

#include <memory>
#include <string>

#include "platform/ini_file.h"

namespace dova {

// The UTF-8 text of a file's bytes: UTF-8 or UTF-16 when they start with that byte order mark
// (which is dropped), otherwise in `codePage`.
std::string DecodeStoredText(const std::string& bytes, unsigned codePage);
std::string DecodeStoredText(const std::string& bytes);  // the system's ANSI code page

// The bytes that store `text`: in `codePage` when every character fits it exactly, otherwise
// the byte order mark and the UTF-8 text.
std::string EncodeStoredText(const std::string& text, unsigned codePage);
std::string EncodeStoredText(const std::string& text);  // the system's ANSI code page

// The coding of these files, for OpenCodedIniFile.
TextCoding StoredTextCoding();

// The settings file: the portable INI reader and writer over stored text.
std::unique_ptr<IniFile> OpenStoredIniFile(const std::string& path);

}  // namespace dova
