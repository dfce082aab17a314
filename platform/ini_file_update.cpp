#include "platform/ini_file_update.h"

#include <utility>

#include "platform/file_attributes.h"
#include "platform/file_replacement.h"
#include "platform/file_system.h"
#include "platform/stored_text.h"

namespace dova {

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

IniFileUpdate::IniFileUpdate(std::string path) : path_(std::move(path)) {
  bool usable = !IsReadOnlyFile(path_);
  std::string contents;
  // A file that is there but cannot be read must not be replaced by one without its keys.
  if (usable && FileExists(path_)) usable = ReadWholeFile(path_, contents);
  if (usable) {
    replacement_ = std::make_unique<FileReplacement>(path_);
    // The copy is closed here and written key by key through its name.
    usable = replacement_->Write(contents) && replacement_->Close();
  }
  const std::string copyPath = replacement_ ? replacement_->AsidePath() : path_ + ".new";
  copy_ = std::make_unique<Copy>(path_, OpenStoredIniFile(copyPath), usable);
}

IniFileUpdate::~IniFileUpdate() = default;

IniFile& IniFileUpdate::File() { return *copy_; }

bool IniFileUpdate::Commit() {
  if (!replacement_) return false;
  if (!copy_->Usable()) replacement_->Abandon();
  return replacement_->Commit();
}

}  // namespace dova
