// A fresh directory under the system's temporary directory for one test, removed with its
// contents afterwards. Files are made and read with the standard library, independently of the
// code under test. Path() and File() give the program's form of a path (backslashes, the
// directory ending in one); Native() gives the form the standard library and outside tools take.
// Names and paths are UTF-8.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace dova::testing {

class TempDir {
 public:
  TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::mt19937_64 random(static_cast<unsigned long long>(
                               std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           std::random_device{}());
    for (;;) {
      native_ = base / ("dova_test_" + std::to_string(random() % 1000000000000ull));
      std::error_code error;
      if (std::filesystem::create_directory(native_, error)) break;
    }
    path_ = native_.u8string();
    for (char& c : path_)
      if (c == '/') c = '\\';
    if (path_.back() != '\\') path_ += '\\';
  }

  ~TempDir() {
    std::filesystem::path root = native_;
#ifdef _WIN32
    // Tests make paths longer than MAX_PATH; only their "\\?\" form reaches them all.
    std::wstring full = native_.wstring();
    for (wchar_t& c : full)
      if (c == L'/') c = L'\\';
    root = std::filesystem::path(L"\\\\?\\" + full);
#endif
    std::error_code error, ignored;
    // Read-only files would stop the removal on Windows.
    for (std::filesystem::recursive_directory_iterator entry(root, error), end;
         !error && entry != end; entry.increment(error))
      std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root, ignored);
  }

  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, ending in a backslash.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  // `name` may use '\' for subdirectories.
  std::string Native(const std::string& name) const { return NativePath(name).u8string(); }

  // Writes `contents` to the file `name` (its directory must exist) and gives File(name).
  std::string WriteFile(const std::string& name, const std::string& contents) const {
    std::ofstream out(NativePath(name), std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return File(name);
  }

  std::string ReadFile(const std::string& name) const {
    std::ifstream in(NativePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  bool Exists(const std::string& name) const {
    std::error_code error;
    return std::filesystem::exists(NativePath(name), error);
  }

 private:
  std::filesystem::path NativePath(std::string name) const {
    for (char& c : name)
      if (c == '\\') c = '/';
    // Names are UTF-8, as everywhere in the program (on Windows a plain std::string would be
    // read in the ANSI code page).
    return native_ / std::filesystem::u8path(name).make_preferred();
  }

  std::filesystem::path native_;
  std::string path_;
};

}  // namespace dova::testing
