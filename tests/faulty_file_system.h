// A file layer that fails on purpose, for the tests that check that nothing stored is lost: it
// stands behind OpenFile, RenameFile, ReplaceFile and RemoveFile (platform/file_system_hooks.h)
// while it lives, does the real work through the system, and injects one fault:
//  - a writing call fails outright: opening a file for writing, a rename, a replace or a remove,
//    picked by its number counted from 0 in the order the program makes them;
//  - the disk fills up after a number of bytes: the stream that crosses the line writes what
//    fits and fails, and so does every later write (renames and removes still work);
//  - the program is killed after a number of bytes: the stream that crosses the line writes what
//    fits, and from then on nothing more reaches the disk (every writing call fails, streams
//    write nothing), as if the process had died there.
// Streams are made with glibc's fopencookie, so the fake exists only where glibc does; files
// read are the system's own.
#pragma once

#include <cstdio>

#if defined(__GLIBC__)
#define DOVA_HAVE_FAULTY_FILE_SYSTEM 1

#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/file_system_hooks.h"

namespace dova::testing {

struct FileFault {
  enum class Kind { kNone, kCallFails, kDiskFull, kKilled };
  Kind kind = Kind::kNone;
  int call = -1;        // kCallFails: the number of the writing call that fails
  long long bytes = 0;  // kDiskFull, kKilled: bytes that reach the disk first
  std::string only;     // with bytes: only streams whose path holds this text count and fail

  static FileFault None() { return {}; }
  static FileFault CallFails(int call) { return {Kind::kCallFails, call, 0, {}}; }
  static FileFault DiskFull(long long bytes, std::string only = {}) {
    return {Kind::kDiskFull, -1, bytes, std::move(only)};
  }
  static FileFault Killed(long long bytes, std::string only = {}) {
    return {Kind::kKilled, -1, bytes, std::move(only)};
  }
};

class FaultyFileSystem : public FileSystemHooks {
 public:
  explicit FaultyFileSystem(FileFault fault) : fault_(std::move(fault)) {
    SetFileSystemHooks(this);
  }
  ~FaultyFileSystem() override { SetFileSystemHooks(nullptr); }
  FaultyFileSystem(const FaultyFileSystem&) = delete;
  FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;

  // Writing calls made so far, and the bytes written by the streams that count.
  int WritingCalls() const { return calls_; }
  long long BytesWritten() const { return written_; }
  // Whether the fault has happened, and the path of the call or stream it struck.
  bool Struck() const { return !struckPath_.empty(); }
  const std::string& StruckPath() const { return struckPath_; }

  std::FILE* OpenFile(const std::string& path, const char* mode) override {
    const std::string m = mode;
    if (m.find_first_of("wa+") == std::string::npos) return SystemOpenFile(path, mode);
    if (!Allow(path)) return nullptr;
    std::FILE* inner = SystemOpenFile(path, mode);
    if (!inner) return nullptr;
    auto* stream = new Stream{this, inner, path, Counts(path)};
    cookie_io_functions_t functions = {nullptr, &Stream::Write, nullptr, &Stream::Close};
    std::FILE* file = fopencookie(stream, "w", functions);
    if (!file) {
      std::fclose(inner);
      delete stream;
    }
    return file;
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return Allow(from) && SystemRenameFile(from, to);
  }
  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return Allow(from) && SystemReplaceFile(from, to);
  }
  bool RemoveFile(const std::string& path) override {
    return Allow(path) && SystemRemoveFile(path);
  }

 private:
  struct Stream {
    FaultyFileSystem* owner;
    std::FILE* inner;
    std::string path;
    bool counts;

    static ssize_t Write(void* cookie, const char* data, std::size_t size) {
      auto* self = static_cast<Stream*>(cookie);
      return self->owner->WriteThrough(*self, data, size);
    }
    static int Close(void* cookie) {
      auto* self = static_cast<Stream*>(cookie);
      const int result = std::fclose(self->inner);
      delete self;
      return result;
    }
  };

  bool Counts(const std::string& path) const {
    return fault_.only.empty() || path.find(fault_.only) != std::string::npos;
  }

  // Numbers a writing call and tells whether it may go ahead.
  bool Allow(const std::string& path) {
    const int number = calls_++;
    if (dead_ || (fault_.kind == FileFault::Kind::kCallFails && number == fault_.call)) {
      Strike(path);
      errno = EIO;
      return false;
    }
    return true;
  }

  ssize_t WriteThrough(Stream& stream, const char* data, std::size_t size) {
    if (dead_ || (full_ && stream.counts)) {
      errno = dead_ ? EIO : ENOSPC;
      return -1;
    }
    std::size_t room = size;
    const bool limited = stream.counts && (fault_.kind == FileFault::Kind::kDiskFull ||
                                           fault_.kind == FileFault::Kind::kKilled);
    if (limited && written_ + static_cast<long long>(size) > fault_.bytes)
      room = static_cast<std::size_t>(fault_.bytes - written_);
    // Straight to the disk, so that what a killed program wrote is there.
    if (room > 0 &&
        (std::fwrite(data, 1, room, stream.inner) != room || std::fflush(stream.inner) != 0))
      return -1;
    if (stream.counts) written_ += static_cast<long long>(room);
    if (room == size) return static_cast<ssize_t>(size);
    Strike(stream.path);
    if (fault_.kind == FileFault::Kind::kKilled)
      dead_ = true;
    else
      full_ = true;
    errno = ENOSPC;
    return room > 0 ? static_cast<ssize_t>(room) : -1;
  }

  void Strike(const std::string& path) {
    if (struckPath_.empty()) struckPath_ = path;
  }

  FileFault fault_;
  int calls_ = 0;
  long long written_ = 0;
  bool full_ = false;
  bool dead_ = false;
  std::string struckPath_;
};

// Fault tests run a program or a writer thousands of times, and every file replacement is synced
// to the disk: while one of these lives, temporary directories made by the tests (TMPDIR) are on
// a file system in memory, where that costs nothing, when the machine has one.
class TemporaryFilesInMemory {
 public:
  TemporaryFilesInMemory() {
    if (const char* old = std::getenv("TMPDIR")) saved_ = old;
    if (access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
  }
  ~TemporaryFilesInMemory() {
    if (saved_.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", saved_.c_str(), 1);
  }
  TemporaryFilesInMemory(const TemporaryFilesInMemory&) = delete;
  TemporaryFilesInMemory& operator=(const TemporaryFilesInMemory&) = delete;

 private:
  std::string saved_;
};

}  // namespace dova::testing

#endif  // __GLIBC__
