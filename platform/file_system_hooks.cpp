// The writing side of the file layer: the system's implementation, or a test's hooks.
#include "platform/file_system_hooks.h"

#include "platform/file_system.h"

namespace dova {

namespace {
FileSystemHooks* installed = nullptr;
}  // namespace

void SetFileSystemHooks(FileSystemHooks* hooks) { installed = hooks; }

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return installed ? installed->OpenFile(path, mode) : SystemOpenFile(path, mode);
}

bool RenameFile(const std::string& from, const std::string& to) {
  return installed ? installed->RenameFile(from, to) : SystemRenameFile(from, to);
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  return installed ? installed->ReplaceFile(from, to) : SystemReplaceFile(from, to);
}

bool RemoveFile(const std::string& path) {
  return installed ? installed->RemoveFile(path) : SystemRemoveFile(path);
}

}  // namespace dova
