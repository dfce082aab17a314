// Files and directories through the wide functions of the Windows API: the core's UTF-8 paths
// become UTF-16 here, so every name Windows allows can be opened, listed and chosen. A path
// longer than the old limit of MAX_PATH characters is handed over in its "\\?\" form, which the
// wide functions take up to 32,767 characters long.
#include <windows.h>
// <windows.h> turns ReplaceFile into ReplaceFileA, which would rename ours below.
#undef ReplaceFile

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/file_system_hooks.h"
#include "platform/win32/long_path.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(FilePath(path).c_str());
}

// Closes a FindFirstFileW search on every way out.
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
  return _wfopen(FilePath(path).c_str(), Wide(mode).c_str());
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
  return !path.empty() && DeleteFileW(FilePath(path).c_str());
}

bool SystemRenameFile(const std::string& from, const std::string& to) {
  return !from.empty() && !to.empty() && MoveFileW(FilePath(from).c_str(), FilePath(to).c_str());
}

bool SystemReplaceFile(const std::string& from, const std::string& to) {
  return !from.empty() && !to.empty() &&
         MoveFileExW(FilePath(from).c_str(), FilePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool CreateDirectoryPath(const std::string& path) {
  if (path.empty()) return false;
  CreateDirectoryW(FilePath(path).c_str(), nullptr);
  return DirectoryExists(path);
}

std::vector<DirEntry> ListDirectory(const std::string& pattern) {
  std::vector<DirEntry> entries;
  if (pattern.empty()) return entries;
  WIN32_FIND_DATAW data;
  FindHandle search(FindFirstFileW(FilePath(pattern).c_str(), &data));
  if (search.get() == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::string name = Utf8(data.cFileName);
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = name;
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entries.push_back(entry);
  } while (FindNextFileW(search.get(), &data));
  return entries;
}

std::string GetCurrentDir() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      std::string dir = Utf8(std::wstring(buffer.data(), length));
      // "C:\" keeps its backslash only as a drive root; other directories come without one.
      if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
      return dir;
    }
    buffer.resize(length + 1);
  }
}

bool SetCurrentDir(const std::string& path) {
  return !path.empty() && SetCurrentDirectoryW(Wide(path).c_str());
}

std::string ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    // A full buffer means the name was cut (XP does not even set ERROR_INSUFFICIENT_BUFFER).
    if (length < buffer.size()) return Utf8(std::wstring(buffer.data(), length));
    if (buffer.size() > 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() ||
      !GetFileAttributesExW(FilePath(path).c_str(), GetFileExInfoStandard, &data) ||
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
  return SetFileAttributesW(FilePath(path).c_str(), changed == 0 ? FILE_ATTRIBUTE_NORMAL : changed);
}

}  // namespace dova
