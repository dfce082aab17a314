// Files and directories through the ANSI functions of the Windows API: paths are byte strings
// in the system code page, as everywhere in the program.
#include <windows.h>
// <windows.h> turns ReplaceFile into ReplaceFileA, which would rename ours below.
#undef ReplaceFile

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/file_system_hooks.h"

namespace dova {

namespace {

DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

// Closes a FindFirstFileA search on every way out.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

std::FILE* SystemOpenFile(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
  return std::fopen(path.c_str(), mode);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemRemoveFile(const std::string& path) {
  return !path.empty() && DeleteFileA(path.c_str());
}

bool SystemRenameFile(const std::string& from, const std::string& to) {
  return !from.empty() && !to.empty() && MoveFileA(from.c_str(), to.c_str());
}

bool SystemReplaceFile(const std::string& from, const std::string& to) {
  return !from.empty() && !to.empty() &&
         MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool CreateDirectoryPath(const std::string& path) {
  if (path.empty()) return false;
  CreateDirectoryA(path.c_str(), nullptr);
  return DirectoryExists(path);
}

std::vector<DirEntry> ListDirectory(const std::string& pattern) {
  std::vector<DirEntry> entries;
  if (pattern.empty()) return entries;
  WIN32_FIND_DATAA data;
  FindHandle search(FindFirstFileA(pattern.c_str(), &data));
  if (search.get() == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = name;
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entries.push_back(entry);
  } while (FindNextFileA(search.get(), &data));
  return entries;
}

std::string GetCurrentDir() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      std::string dir(buffer.data(), length);
      // "C:\" keeps its backslash only as a drive root; other directories come without one.
      if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
      return dir;
    }
    buffer.resize(length + 1);
  }
}

bool SetCurrentDir(const std::string& path) {
  return !path.empty() && SetCurrentDirectoryA(path.c_str());
}

std::string ExecutablePath() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    // A full buffer means the name was cut (XP does not even set ERROR_INSUFFICIENT_BUFFER).
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() > 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_READONLY);
}

bool SetReadOnlyFile(const std::string& path, bool readOnly) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD changed = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                                 : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return SetFileAttributesA(path.c_str(), changed == 0 ? FILE_ATTRIBUTE_NORMAL : changed);
}

}  // namespace dova
