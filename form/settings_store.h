// The settings in "dova.ini": read once at start-up into the window's controls and the
// process-wide values, written once at exit from them. Every key is one row of one table
// (form/settings_store.cpp), in the order the keys are written; reading follows the same order.
#pragma once

#include <string>
#include <vector>

#include "form/app_context.h"
#include "form/setting_row.h"
#include "platform/ini_file.h"

namespace dova {

class SettingsStore {
 public:
  // [Main] Language, default "English".
  static std::string ReadLanguage(IniFile& ini);

  // Reads every key into its control or value. A list index that is not a number leaves its
  // list without a choice and its message ("'x' is not a valid integer value") in the returned
  // list; every other key is read all the same. [OffLine] Path becomes the current directory
  // when usable.
  std::vector<std::string> Load(IniFile& ini, AppContext& context);

  // Writes every key in the table's order. A key whose stored text could not be read at start-up
  // and whose list the user left without a choice keeps its stored text. Returns the messages of
  // refused writes ("Unable to write to <path>"), at most one.
  std::vector<std::string> Save(IniFile& ini, AppContext& context) const;

  // [OffLine] CursorPosition as read: the list cursor to restore.
  int CursorPosition() const { return memory_.cursorPosition; }

 private:
  SettingsMemory memory_;
};

}  // namespace dova
