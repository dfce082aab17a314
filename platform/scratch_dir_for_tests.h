// A fresh directory under the system's temporary directory for one test, removed with its
// contents afterwards. Paths come in the core's Windows form (backslashes, the directory ending
// in one); files are made and read with the standard library, independently of the code under
// test.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace dova::testing {

class ScratchDir {
 public:
  ScratchDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::mt19937_64 random(static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count()) ^ std::random_device{}());
    for (;;) {
      native_ = base / ("dova_platform_test_" + std::to_string(random() % 1000000000000ull));
      std::error_code error;
      if (std::filesystem::create_directory(native_, error)) break;
    }
    path_ = CorePath(native_.string());
    if (path_.back() != '\\') path_ += '\\';
  }

  ~ScratchDir() {
    std::error_code error;
    // Read-only files would stop the removal on Windows.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(native_, error))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(native_, error);
  }

  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The directory, ending in a backslash.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  std::filesystem::path Native(const std::string& name) const { return native_ / name; }

  void Write(const std::string& name, const std::string& contents) const {
    std::ofstream out(Native(name), std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(Native(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  bool Exists(const std::string& name) const {
    std::error_code error;
    return std::filesystem::exists(Native(name), error);
  }

  static std::string CorePath(std::string path) {
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }

 private:
  std::filesystem::path native_;
  std::string path_;
};

}  // namespace dova::testing
