// A file replaced whole: the new contents are written aside, under the file's name with a
// suffix, and take the file's place only when all of them reached the disk. Whatever fails on
// the way (a full disk, a device error, a refused move), the file holds its old contents or the
// whole new ones, and the copy aside is removed. Only a killed program can leave a copy behind.
// Every file the program stores goes through here: the settings, the picture list, the bitmaps.
// The calls go through OpenFile, ReplaceFile and RemoveFile (platform/file_system.h), so the
// tests' faulty file layer reaches them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace dova {

class FileReplacement {
 public:
  // Creates (or truncates) the copy "<path><asideSuffix>" for writing. When that fails, Failed()
  // is true and every later call refuses.
  explicit FileReplacement(std::string path, const char* asideSuffix = ".new");
  // A replacement that was not committed is abandoned.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Appends bytes to the copy. False (and the replacement failed) when they did not all go.
  bool Write(const void* data, std::size_t size);
  bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
  // Writes bytes at `offset` from the copy's start, for writers that place their parts in any
  // order. The calls must not overlap in time: the caller serializes them.
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);

  // Makes sure the written bytes reached the copy and closes it; the copy stays aside until
  // Commit. For a writer that goes on changing the copy by its name (AsidePath). False, with the
  // copy removed, when the bytes did not all reach it.
  bool Close();

  // Closes the copy when still open and moves it over the file. False, with the file as it was
  // and the copy removed, when anything failed, now or before.
  bool Commit();

  // Closes and removes the copy; the file stays as it was. Nothing happens once committed.
  void Abandon();

  bool Failed() const { return failed_; }
  // The system's error number of the first failure, 0 when the system gave none.
  int Error() const { return error_; }
  const std::string& Path() const { return path_; }
  const std::string& AsidePath() const { return asidePath_; }

 private:
  // Records the failure with the current errno, closes and removes the copy; returns false.
  bool Fail();

  std::string path_;
  std::string asidePath_;
  std::unique_ptr<char[]> buffer_;  // the copy's stream buffer, until the stream is closed
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  bool committed_ = false;
  int error_ = 0;
};

// Replaces the file at `path` with `bytes` through a FileReplacement; false when the file was
// left as it was.
bool ReplaceFileContents(const std::string& path, const std::string& bytes,
                         const char* asideSuffix = ".new");

}  // namespace dova
