#include "platform/ini_file_update.h"

#include <cstdio>
#include <utility>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/stored_text.h"

namespace dova {

namespace {

// Writes `contents` to `path` whole; false when any part of it did not reach the file.
bool WriteWholeFile(const std::string& path, const std::string& contents) {
  std::FILE* file = OpenFile(path, "wb");
  if (!file) return false;
  bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

}  // namespace

// The copy, seen through the IniFile interface with the real file's name, refusing every write
// once one has failed.
class IniFileUpdate::Copy : public IniFile {
 public:
  Copy(std::string realPath, std::unique_ptr<IniFile> file, bool usable)
      : realPath_(std::move(realPath)), file_(std::move(file)), usable_(usable) {}

  std::string ReadString(const std::string& section, const std::string& key, const std::string& def,
                         std::size_t bufferSize) override {
    return file_->ReadString(section, key, def, bufferSize);
  }
  std::vector<std::string> ReadKeyNames(const std::string& section,
                                        std::size_t blockSize) override {
    return file_->ReadKeyNames(section, blockSize);
  }
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    usable_ = usable_ && file_->WriteString(section, key, value);
    return usable_;
  }
  const std::string& Path() const override { return realPath_; }

  bool Usable() const { return usable_; }

 private:
  std::string realPath_;
  std::unique_ptr<IniFile> file_;
  bool usable_;
};

IniFileUpdate::IniFileUpdate(std::string path) : path_(std::move(path)), copyPath_(path_ + ".new") {
  bool usable = !IsReadOnlyFile(path_);
  if (usable) {
    std::string contents;
    // A file that is there but cannot be read must not be replaced by one without its keys.
    if (FileExists(path_)) usable = ReadWholeFile(path_, contents);
    usable = usable && WriteWholeFile(copyPath_, contents);
  }
  copy_ = std::make_unique<Copy>(path_, OpenStoredIniFile(copyPath_), usable);
}

IniFileUpdate::~IniFileUpdate() {
  if (!committed_) RemoveFile(copyPath_);
}

IniFile& IniFileUpdate::File() { return *copy_; }

bool IniFileUpdate::Commit() {
  if (committed_) return true;
  committed_ = copy_->Usable() && ReplaceFile(copyPath_, path_);
  if (!committed_) RemoveFile(copyPath_);
  return committed_;
}

}  // namespace dova
