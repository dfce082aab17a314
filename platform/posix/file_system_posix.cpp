// Files and directories on POSIX systems. The core's Windows paths are turned into POSIX ones
// by replacing every backslash with a slash; paths handed back (current directory, executable)
// use backslashes, so the core can split them as it does on Windows.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/file_system_hooks.h"
#include "platform/wildcard.h"

namespace dova {

namespace {

std::string ToPosix(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string ToCore(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool Stat(const std::string& path, struct stat& info) {
  return !path.empty() && ::stat(ToPosix(path).c_str(), &info) == 0;
}

}  // namespace

std::FILE* SystemOpenFile(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
  return std::fopen(ToPosix(path).c_str(), mode);
}

bool FileExists(const std::string& path) {
  struct stat info;
  return Stat(path, info) && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info;
  return Stat(path, info) && S_ISDIR(info.st_mode);
}

bool SystemRemoveFile(const std::string& path) {
  return !path.empty() && !DirectoryExists(path) && ::unlink(ToPosix(path).c_str()) == 0;
}

bool SystemRenameFile(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return false;
  const std::string source = ToPosix(from), target = ToPosix(to);
  // rename() would replace `to`; a hard link refuses an existing name in one step. File systems
  // without hard links get the check-then-rename fallback.
  if (::link(source.c_str(), target.c_str()) == 0) {
    if (::unlink(source.c_str()) == 0) return true;
    ::unlink(target.c_str());
    return false;
  }
  if (errno == EEXIST) return false;
  struct stat info;
  if (::lstat(target.c_str(), &info) == 0) return false;
  return ::rename(source.c_str(), target.c_str()) == 0;
}

bool SystemReplaceFile(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return false;
  const std::string source = ToPosix(from);
  // Put the new contents on disk before the name points at them, as MOVEFILE_WRITE_THROUGH
  // does on Windows: a crash then leaves the old file or the new one, never an empty one.
  const int fd = ::open(source.c_str(), O_RDONLY);
  if (fd < 0) return false;
  ::fsync(fd);
  ::close(fd);
  return ::rename(source.c_str(), ToPosix(to).c_str()) == 0;
}

bool CreateDirectoryPath(const std::string& path) {
  if (path.empty()) return false;
  ::mkdir(ToPosix(path).c_str(), 0777);
  return DirectoryExists(path);
}

std::vector<DirEntry> ListDirectory(const std::string& pattern) {
  std::vector<DirEntry> entries;
  const std::size_t slash = pattern.find_last_of("\\/");
  const std::string dir = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  const std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  DIR* stream = ::opendir(dir.empty() ? "." : ToPosix(dir).c_str());
  if (!stream) return entries;
  while (const dirent* item = ::readdir(stream)) {
    const std::string name = item->d_name;
    // Windows lists "." and ".." too; nothing in the program wants them.
    if (name == "." || name == ".." || !MatchesWildcard(mask, name)) continue;
    DirEntry entry;
    entry.name = name;
    struct stat info;
    entry.directory = Stat(dir + name, info) && S_ISDIR(info.st_mode);
    entry.hidden = name[0] == '.';
    entries.push_back(entry);
  }
  ::closedir(stream);
  return entries;
}

std::string GetCurrentDir() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  std::string dir = ToCore(buffer.data());
  if (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
  return dir;
}

bool SetCurrentDir(const std::string& path) {
  return !path.empty() && ::chdir(ToPosix(path).c_str()) == 0;
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t got = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (got < 0) return std::string();
    if (static_cast<std::size_t>(got) < buffer.size())
      return ToCore(std::string(buffer.data(), got));
    buffer.resize(buffer.size() * 2);
  }
}

long long FileSize(const std::string& path) {
  struct stat info;
  if (!Stat(path, info) || S_ISDIR(info.st_mode)) return -1;
  return static_cast<long long>(info.st_size);
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat info;
  return Stat(path, info) && !S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

bool SetReadOnlyFile(const std::string& path, bool readOnly) {
  struct stat info;
  if (!Stat(path, info)) return false;
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  const mode_t mode = readOnly ? (info.st_mode & ~writable) : (info.st_mode | S_IWUSR);
  return ::chmod(ToPosix(path).c_str(), mode & 07777) == 0;
}

}  // namespace dova
