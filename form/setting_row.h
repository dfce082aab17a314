// One key of dova.ini as a row of the settings table (form/settings_store.cpp): its section, its
// key, the text a missing key yields, and how that text fills a control or value at start-up and
// is made from it again at exit. The functions below build the rows of the common kinds; a row of
// a kind of its own gives its two functions itself.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "form/app_context.h"

namespace dova {

// What the reading of the keys leaves for their writing and for each other.
struct SettingsMemory {
  // "Section\nKey" -> a list index's stored text that did not convert, kept for the save, so that
  // the user's value is not replaced by a default the program never showed.
  std::map<std::string, std::string> unreadable;
  int cursorPosition = 0;  // [OffLine] CursorPosition as read
  std::string resizeWord;  // [Main] Resize as read, which [Main] Proportions refines
};

struct SettingRow;

struct SettingRead {
  AppContext& context;
  SettingsMemory& memory;
  std::vector<std::string>& errors;  // the messages of texts that did not convert, in read order
};

struct SettingWrite {
  AppContext& context;
  const SettingsMemory& memory;
};

struct SettingRow {
  const char* section;
  const char* key;
  const char* def;
  // Fills the control or value from the stored text (`def` when the key is missing).
  std::function<void(const SettingRow& row, const std::string& text, SettingRead& read)> read;
  // The text to store, or nothing to leave the key as it is.
  std::function<std::optional<std::string>(const SettingRow& row, SettingWrite& write)> write;

  // "Section\nKey", the key of SettingsMemory::unreadable.
  std::string Id() const { return std::string(section) + "\n" + key; }
};

// A truth value in a check box: "1" checks it, any other text clears it; written "1" or "0".
SettingRow TruthSetting(const char* section, const char* key, const char* def,
                        CheckBox FormModel::*box);

// The index of the chosen entry of a drop-down list, "-1" for none. A text that is no integer
// leaves the list without a choice, reports "'<text>' is not a valid integer value" and is
// written back as it was while the user chooses nothing.
SettingRow IndexSetting(const char* section, const char* key, const char* def,
                        ComboBox FormModel::*list);

// A text copied as it is, into an edit field or a value of the context.
SettingRow TextSetting(const char* section, const char* key, const char* def,
                       Edit FormModel::*edit);
SettingRow TextSetting(const char* section, const char* key, const char* def,
                       std::string AppContext::*value);

// One word per radio button of a group, compared case-sensitively. The stored word checks its
// button; any other text checks `otherwise`. The checked button's word is written, nothing when
// none of them is checked. `then` runs after the reading (the click handler of the group).
struct WordChoice {
  const char* word;
  RadioButton FormModel::*button;
};
SettingRow WordSetting(const char* section, const char* key, const char* def,
                       std::vector<WordChoice> words, RadioButton FormModel::*otherwise,
                       void (*then)(AppContext&) = nullptr);

}  // namespace dova
