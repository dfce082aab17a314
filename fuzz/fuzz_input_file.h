// A temporary file that holds the current fuzz input, for the readers that take a path. One
// file per process, rewritten for every input and removed when the process ends normally.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace dova {

class FuzzInputFile {
 public:
  FuzzInputFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/dova-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
      std::perror("mkstemp");
      std::abort();
    }
    close(fd);
    path_ = pattern;
  }
  ~FuzzInputFile() { unlink(path_.c_str()); }
  FuzzInputFile(const FuzzInputFile&) = delete;
  FuzzInputFile& operator=(const FuzzInputFile&) = delete;

  // Replaces the file's contents with the input. A failed write aborts: a reader given a short
  // file would be tested on bytes other than the reported input.
  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file)) {
      std::perror(path_.c_str());
      std::abort();
    }
    return path_;
  }

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace dova
