// The design's Russian texts are written in UTF-8 in the sources but, like every text of the
// program, live as bytes of the Windows ANSI code page 1251 at run time.
#pragma once

#include <string>

namespace dova {

// Converts UTF-8 text to Windows-1251 bytes. Characters the code page lacks become "?".
std::string Cp1251(const std::string& utf8);

}  // namespace dova
