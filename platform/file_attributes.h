// File attributes the INI writer needs beyond platform/file_system.h.
#pragma once

#include <string>

namespace dova {

// True when a file exists at `path` and the system marks it read-only: the read-only attribute
// on Windows, no write permission for the owner elsewhere. Checked by writers that replace a
// file through a temporary copy, which the system would otherwise allow (and which a process
// running as root or under Wine as root is always allowed).
bool IsReadOnlyFile(const std::string& path);

// Sets or clears that mark; false when the file cannot be changed.
bool SetReadOnlyFile(const std::string& path, bool readOnly);

}  // namespace dova
