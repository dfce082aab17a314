// File-name patterns as Windows matches them when listing a directory.
#pragma once

#include <string>

namespace dova {

// True when `name` matches `pattern`: "*" stands for any run of characters (also none), "?" for
// any one character, every other character for itself without regard to ASCII case; "*.*"
// matches every name, with or without a dot, as it does on Windows.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace dova
