// Many writes to one INI file as a single change, so that a failure part-way (a full disk, a
// device error, the program killed) leaves the file as it was: the keys are written into a copy,
// "<path>.new", which takes the file's place only when every write to it succeeded. The keys are
// written as the settings file's are (OpenStoredIniFile: its code page or UTF-8).
#pragma once

#include <memory>
#include <string>

#include "platform/file_replacement.h"
#include "platform/ini_file.h"

namespace dova {

class IniFileUpdate {
 public:
  // Copies the file at `path` (none there: the copy starts empty). A read-only file, or one that
  // cannot be read or copied, makes every write refused.
  explicit IniFileUpdate(std::string path);
  // Removes a copy that was not committed.
  ~IniFileUpdate();
  IniFileUpdate(const IniFileUpdate&) = delete;
  IniFileUpdate& operator=(const IniFileUpdate&) = delete;

  // The copy. Reads see it; writes go to it, and once one is refused every later one is too.
  // Path() names the real file, for messages.
  IniFile& File();

  // Moves the copy over the file. False, with the file untouched and the copy removed, when the
  // copy could not be made, a write to it was refused, or the move failed.
  bool Commit();

 private:
  class Copy;
  std::string path_;
  std::unique_ptr<FileReplacement> replacement_;  // none when the file is refused
  std::unique_ptr<Copy> copy_;
};

}  // namespace dova
