// INI access through the system's private-profile functions. A few rules are applied on top of
// them so that the program sees the same results on every Windows version, under Wine and with
// the portable implementation (platform/ini_text.h):
// - a relative path names a file in the current directory, not in the Windows directory;
// - the key-name block is fetched whole and then cut to the caller's size at a name boundary,
//   so no cut name comes back (the system cuts the last name), and empty names are left out
//   (Wine lists them);
// - a value is stored up to its first line break, which would otherwise start lines of its own;
// - a file with the read-only attribute is not written (Wine writes it when run as root).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/ini_file.h"
#include "platform/ini_text.h"

namespace dova {

namespace {

std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

class SystemIniFile : public IniFile {
 public:
  explicit SystemIniFile(std::string path) : path_(std::move(path)), fullPath_(FullPath(path_)) {}

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def, std::size_t bufferSize) override {
    if (bufferSize == 0) return std::string();
    std::vector<char> buffer(bufferSize);
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), fullPath_.c_str());
    return std::string(buffer.data(), length);
  }

  std::vector<std::string> ReadKeyNames(const std::string& section,
                                        std::size_t blockSize) override {
    // The system returns size - 2 when the block was too small; grow until it is not.
    std::vector<char> buffer(blockSize + 2 > 4096 ? blockSize + 2 : 4096);
    DWORD length = 0;
    for (;;) {
      length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                        static_cast<DWORD>(buffer.size()), fullPath_.c_str());
      if (length + 2 < buffer.size() || buffer.size() >= (64u << 20)) break;
      buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
      if (buffer[i] != '\0') continue;
      if (i > start) names.emplace_back(buffer.data() + start, i - start);
      start = i + 1;
    }
    if (start < length) names.emplace_back(buffer.data() + start, length - start);
    return NamesFittingBlock(names, blockSize);
  }

  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (IsReadOnlyFile(fullPath_)) return false;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), OneLineValue(value).c_str(),
                                      fullPath_.c_str()) != FALSE;
  }

  const std::string& Path() const override { return path_; }

 private:
  std::string path_;
  std::string fullPath_;
};

}  // namespace

std::unique_ptr<IniFile> OpenIniFile(const std::string& path) {
  return std::make_unique<SystemIniFile>(path);
}

}  // namespace dova
