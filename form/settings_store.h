// The settings in "dova.ini": read once at start-up into the window's controls and the
// process-wide values, written once at exit from them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "form/app_context.h"
#include "platform/ini_file.h"

namespace dova {

class SettingsStore {
 public:
  // [Main] Language, default "English".
  static std::string ReadLanguage(IniFile& ini);

  // Reads every other key in its order into its control or value. A list index that is not a
  // number leaves its list without a choice and its message ("'x' is not a valid integer value")
  // in the returned list; every other key is read all the same. [OffLine] Path becomes the
  // current directory when usable.
  std::vector<std::string> Load(IniFile& ini, AppContext& context);

  // Writes every key in the write order. A key whose stored text could not be read at start-up
  // and whose list the user left without a choice keeps its stored text. Returns the messages of
  // refused writes ("Unable to write to <path>"), at most one.
  std::vector<std::string> Save(IniFile& ini, AppContext& context) const;

  // [OffLine] CursorPosition as read: the list cursor to restore.
  int CursorPosition() const { return cursorPosition_; }

 private:
  void ReadIndex(IniFile& ini, const char* section, const char* key, const char* def,
                 ComboBox& list, std::vector<std::string>& errors);

  int cursorPosition_ = 0;
  // "Section\nKey" -> stored text that did not convert, with the list it belongs to.
  std::map<std::string, std::pair<std::string, const ComboBox*>> unreadable_;
};

}  // namespace dova
