#include "platform/file_replacement.h"

#include <cerrno>
#include <utility>

#include "platform/file_system.h"

namespace dova {

namespace {

// Bitmap files reach 4 GB, beyond the `long` of fseek on Windows.
int SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET);
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

}  // namespace

FileReplacement::FileReplacement(std::string path, const char* asideSuffix)
    : path_(std::move(path)), asidePath_(path_ + asideSuffix) {
  errno = 0;
  file_ = OpenFile(asidePath_, "wb");
  if (file_ == nullptr) {
    // Nothing of ours is there to remove: whatever stands at the name stays.
    failed_ = true;
    error_ = errno;
    return;
  }
  // A bitmap's row (23 KB at 7680 pixels) fits the buffer whole, so that a positioned write
  // costs one system call, not three. The C library takes a size only with a buffer of ours.
  constexpr std::size_t kBufferBytes = 64 * 1024;
  buffer_ = std::make_unique<char[]>(kBufferBytes);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Fail() {
  if (!failed_) error_ = errno;  // before closing and removing change it
  failed_ = true;
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  RemoveFile(asidePath_);
  return false;
}

bool FileReplacement::Write(const void* data, std::size_t size) {
  if (failed_ || file_ == nullptr) return false;
  errno = 0;
  return std::fwrite(data, 1, size, file_) == size || Fail();
}

bool FileReplacement::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (failed_ || file_ == nullptr) return false;
  errno = 0;
  if (SeekTo(file_, offset) != 0) return Fail();
  return std::fwrite(data, 1, size, file_) == size || Fail();
}

bool FileReplacement::Close() {
  if (failed_ || committed_) return !failed_;
  if (file_ == nullptr) return true;  // closed before
  // A full disk may only show when the last buffer is flushed or the file is closed.
  errno = 0;
  if (std::fflush(file_) != 0) return Fail();
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  return std::fclose(file) == 0 || Fail();
}

bool FileReplacement::Commit() {
  if (committed_) return true;
  if (!Close()) return false;
  errno = 0;
  if (!ReplaceFile(asidePath_, path_)) return Fail();
  committed_ = true;
  return true;
}

void FileReplacement::Abandon() {
  if (failed_ || committed_) return;  // a failure removed the copy already
  failed_ = true;
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  RemoveFile(asidePath_);
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes,
                         const char* asideSuffix) {
  FileReplacement replacement(path, asideSuffix);
  return replacement.Write(bytes) && replacement.Commit();
}

}  // namespace dova
