// A seam in the file layer for tests that make the program's writes fail: while hooks are
// installed, OpenFile, RenameFile, ReplaceFile and RemoveFile (platform/file_system.h) go to them
// instead of the system, and the hooks reach the system through the System* functions below.
// The program itself never installs hooks.
#pragma once

#include <cstdio>
#include <string>

namespace dova {

class FileSystemHooks {
 public:
  virtual ~FileSystemHooks() = default;
  virtual std::FILE* OpenFile(const std::string& path, const char* mode) = 0;
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
};

// Installs `hooks` for the whole process; null puts the system back. The caller keeps ownership
// and installs and removes them while no other thread uses the file layer.
void SetFileSystemHooks(FileSystemHooks* hooks);

// The system's implementations, with the contracts of the functions they stand behind.
std::FILE* SystemOpenFile(const std::string& path, const char* mode);
bool SystemRenameFile(const std::string& from, const std::string& to);
bool SystemReplaceFile(const std::string& from, const std::string& to);
bool SystemRemoveFile(const std::string& path);

}  // namespace dova
