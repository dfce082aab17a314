// The code page a language is written in on Windows, for language files that are not UTF-8.
#pragma once

#include <string>

namespace dova {

// The Windows code page of the language named `languageName` (a language file's name without
// ".ini": "Russian", "Deutsch", "Polski"...), by its English or its own name without regard to
// ASCII case; a name such as "Portuguese (Brazil)" counts by its first word. 0 for a name not
// known here.
unsigned LanguageCodePage(const std::string& languageName);

// The UTF-8 text of a language file's bytes: UTF-8 or UTF-16 when they start with that byte
// order mark (dropped), UTF-8 when they are well-formed UTF-8, otherwise in the code page of the
// language, or in the system's ANSI code page when the language is not known.
std::string DecodeLanguageFile(const std::string& bytes, const std::string& languageName);

}  // namespace dova
