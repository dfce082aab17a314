// Files and directories. The core speaks Windows paths ("C:\Dova\Sites\dova.ini", directories
// ending in a backslash); the POSIX implementation turns backslashes into slashes, so native
// tests use the same code with paths such as "\tmp\dova\Sites\dova.ini".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace dova {

struct DirEntry {
  std::string name;  // as the system gives it, case unchanged
  bool directory = false;
  bool hidden = false;
  bool system = false;
};

// Opens a file as fopen does (modes "rb", "wb", "w", "r", "ab"...). Null when it cannot.
// OpenFile, RemoveFile, RenameFile and ReplaceFile go through the hooks of
// platform/file_system_hooks.h, where tests make them fail on purpose.
std::FILE* OpenFile(const std::string& path, const char* mode);

bool FileExists(const std::string& path);       // a file (not a directory) is there
bool DirectoryExists(const std::string& path);
bool RemoveFile(const std::string& path);       // false when it could not be deleted
bool RenameFile(const std::string& from, const std::string& to);  // fails when `to` exists
// Moves `from` over `to`, replacing it in one step where the system allows.
bool ReplaceFile(const std::string& from, const std::string& to);
bool CreateDirectoryPath(const std::string& path);  // one level; true when it exists after

// Entries matching a pattern such as "C:\Pictures\*.*" or "C:\Dova\Languages\*.ini", in the
// order the system lists them. Wildcards "*" and "?" in the last component only; matching is
// case-insensitive as on Windows. An unreadable directory gives the entries found until then.
std::vector<DirEntry> ListDirectory(const std::string& pattern);

std::string GetCurrentDir();                    // without a trailing backslash, "" on failure
bool SetCurrentDir(const std::string& path);    // false for an empty or unusable path

std::string ExecutablePath();                   // full path of the running program

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Size in bytes, -1 when it cannot be read.
long long FileSize(const std::string& path);

}  // namespace dova
