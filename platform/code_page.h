// The Windows code pages, for texts that are stored in one: the settings and list files of
// earlier versions (the system's ANSI code page) and language files (the code page of their
// language). Inside the program every text is UTF-8.
#pragma once

#include <string>

namespace dova {

// Code page numbers as Windows names them.
constexpr unsigned kCodePageWestern = 1252;
constexpr unsigned kCodePageCyrillic = 1251;

// The system's ANSI code page: GetACP() on Windows. Elsewhere the number in the environment
// variable DOVA_ANSI_CODE_PAGE, 1252 when it is unset, so tests can play either system.
unsigned AnsiCodePage();

// `bytes` in code page `codePage` as UTF-8. Every byte comes out as some character, as Windows
// reads it (a byte the code page leaves undefined becomes the control character of its value).
std::string CodePageToUtf8(const std::string& bytes, unsigned codePage);

// `utf8` in code page `codePage`. False when a character has no exact place in it (no "best
// fit" stand-in is taken) or `utf8` is not well-formed; `bytes` is then unspecified.
bool Utf8ToCodePage(const std::string& utf8, unsigned codePage, std::string& bytes);

}  // namespace dova
