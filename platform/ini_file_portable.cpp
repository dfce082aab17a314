// The portable private-profile reader and writer: every call reads the file anew, and a write
// puts the whole new text into "<path>.tmp" and then moves it over the file, so a failed write
// leaves the old file as it was.
#include <memory>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/ini_text.h"

namespace dova {

namespace {

class PortableIniFile : public IniFile {
 public:
  explicit PortableIniFile(std::string path) : path_(std::move(path)) {}

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def, std::size_t bufferSize) override {
    std::string contents;
    if (ReadWholeFile(path_, contents)) {
      const IniText text(std::move(contents));
      if (const std::string* value = text.FindValue(section, key))
        return ProfileValue(*value, bufferSize);
    }
    return ProfileDefault(def, bufferSize);
  }

  std::vector<std::string> ReadKeyNames(const std::string& section,
                                        std::size_t blockSize) override {
    std::string contents;
    if (!ReadWholeFile(path_, contents)) return {};
    return NamesFittingBlock(IniText(std::move(contents)).KeyNames(section), blockSize);
  }

  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    std::string contents;
    if (FileExists(path_)) {
      // A file that is there but cannot be read (locked, no permission) must not be replaced
      // by one holding only this key.
      if (IsReadOnlyFile(path_) || !ReadWholeFile(path_, contents)) return false;
    }
    return Save(IniText(std::move(contents)).WithValue(section, key, OneLineValue(value)));
  }

  const std::string& Path() const override { return path_; }

 private:
  bool Save(const std::string& text) const {
    const std::string temp = path_ + ".tmp";
    std::FILE* file = OpenFile(temp, "wb");
    if (!file) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && ReplaceFile(temp, path_);
    if (!ok) RemoveFile(temp);
    return ok;
  }

  std::string path_;
};

}  // namespace

std::unique_ptr<IniFile> OpenPortableIniFile(const std::string& path) {
  return std::make_unique<PortableIniFile>(path);
}

}  // namespace dova
