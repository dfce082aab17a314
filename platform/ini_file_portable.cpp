// The portable private-profile reader and writer: every call reads the file anew, and a write
// puts the whole new text into "<path>.tmp" and then moves it over the file, so a failed write
// leaves the old file as it was.
#include <memory>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_replacement.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/ini_text.h"
#include "platform/unicode_text.h"

namespace dova {

namespace {

class PortableIniFile : public IniFile {
 public:
  // Without a coding the texts are the file's bytes.
  PortableIniFile(std::string path, TextCoding coding)
      : path_(std::move(path)), coding_(std::move(coding)) {}

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def, std::size_t bufferSize) override {
    std::string contents;
    if (Read(contents)) {
      const IniText text(std::move(contents));
      if (const std::string* value = text.FindValue(section, key)) {
        if (!coding_.decode) return ProfileValue(*value, bufferSize);
        return bufferSize == 0 ? std::string()
                               : FirstCharacters(ProfileValue(*value, value->size() + 1),
                                                 bufferSize - 1);
      }
    }
    if (!coding_.decode) return ProfileDefault(def, bufferSize);
    return bufferSize == 0 ? std::string()
                           : FirstCharacters(ProfileDefault(def, def.size() + 1), bufferSize - 1);
  }

  std::vector<std::string> ReadKeyNames(const std::string& section,
                                        std::size_t blockSize) override {
    std::string contents;
    if (!Read(contents)) return {};
    return NamesFittingBlock(IniText(std::move(contents)).KeyNames(section), blockSize);
  }

  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    std::string contents;
    if (FileExists(path_)) {
      // A file that is there but cannot be read (locked, no permission) must not be replaced
      // by one holding only this key.
      if (IsReadOnlyFile(path_) || !Read(contents)) return false;
    }
    std::string text = IniText(std::move(contents)).WithValue(section, key, OneLineValue(value));
    return Save(coding_.encode ? coding_.encode(text) : text);
  }

  const std::string& Path() const override { return path_; }

 private:
  bool Read(std::string& contents) const {
    if (!ReadWholeFile(path_, contents)) return false;
    if (coding_.decode) contents = coding_.decode(contents);
    return true;
  }

  // Beside the file as "<path>.tmp": IniFileUpdate keeps its copy of a file as "<path>.new" and
  // writes that copy through here.
  bool Save(const std::string& bytes) const { return ReplaceFileContents(path_, bytes, ".tmp"); }

  std::string path_;
  TextCoding coding_;
};

}  // namespace

std::unique_ptr<IniFile> OpenPortableIniFile(const std::string& path) {
  return std::make_unique<PortableIniFile>(path, TextCoding{});
}

std::unique_ptr<IniFile> OpenCodedIniFile(const std::string& path, TextCoding coding) {
  return std::make_unique<PortableIniFile>(path, std::move(coding));
}

}  // namespace dova
