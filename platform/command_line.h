// The part of a Windows command line that follows the program's own name.
#pragma once

#include <string>

namespace dova {

// The text after the program name in `commandLine` (as GetCommandLineW gives it, in UTF-8), with the
// blanks and tabs after the name skipped. The name ends at its closing quote when it starts with
// one, otherwise at the first blank or tab; a quote without its partner runs to the end.
std::string CommandLineTail(const std::string& commandLine);

// True when the argument text asks the program to start hidden: the text, with leading and
// trailing blanks and control characters removed, is exactly "minimized".
bool AsksToStartMinimized(const std::string& arguments);

}  // namespace dova
