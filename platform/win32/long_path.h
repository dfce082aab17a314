// Paths for the wide file functions, whatever their length.
#pragma once

#include <string>

namespace dova {

// `path` (UTF-8) as the wide file functions take it. A path of fewer than 248 characters, the
// most that every file function takes in its plain form (CreateDirectoryW leaves room for an 8.3
// name), stays as it is; a longer one is made full ("." and ".." resolved, "/" turned into "\")
// and given the "\\?\" prefix ("\\?\UNC\" for a network path), which lifts the limit.
std::wstring FilePath(const std::string& path);

}  // namespace dova
