#include "form/setting_row.h"

#include "text/number_text.h"

namespace dova {

SettingRow TruthSetting(const char* section, const char* key, const char* def,
                        CheckBox FormModel::*box) {
  return {section, key, def,
          [box](const SettingRow&, const std::string& text, SettingRead& read) {
            (read.context.form.*box).checked = text == "1";
          },
          [box](const SettingRow&, SettingWrite& write) -> std::optional<std::string> {
            return (write.context.form.*box).checked ? "1" : "0";
          }};
}

SettingRow IndexSetting(const char* section, const char* key, const char* def,
                        ComboBox FormModel::*list) {
  return {section, key, def,
          [list](const SettingRow& row, const std::string& text, SettingRead& read) {
            ComboBox& box = read.context.form.*list;
            int index = 0;
            if (ParseInteger(text, index)) {
              box.Select(index);
              return;
            }
            box.Select(-1);
            read.memory.unreadable[row.Id()] = text;
            read.errors.push_back(NotAnIntegerMessage(text));
          },
          [list](const SettingRow& row, SettingWrite& write) -> std::optional<std::string> {
            const ComboBox& box = write.context.form.*list;
            const auto kept = write.memory.unreadable.find(row.Id());
            if (kept != write.memory.unreadable.end() && box.itemIndex < 0) return kept->second;
            return std::to_string(box.itemIndex);
          }};
}

SettingRow TextSetting(const char* section, const char* key, const char* def,
                       Edit FormModel::*edit) {
  return {section, key, def,
          [edit](const SettingRow&, const std::string& text, SettingRead& read) {
            (read.context.form.*edit).text = text;
          },
          [edit](const SettingRow&, SettingWrite& write) -> std::optional<std::string> {
            return (write.context.form.*edit).text;
          }};
}

SettingRow TextSetting(const char* section, const char* key, const char* def,
                       std::string AppContext::*value) {
  return {section, key, def,
          [value](const SettingRow&, const std::string& text, SettingRead& read) {
            read.context.*value = text;
          },
          [value](const SettingRow&, SettingWrite& write) -> std::optional<std::string> {
            return write.context.*value;
          }};
}

SettingRow WordSetting(const char* section, const char* key, const char* def,
                       std::vector<WordChoice> words, RadioButton FormModel::*otherwise,
                       void (*then)(AppContext&)) {
  return {section, key, def,
          [words, otherwise, then](const SettingRow&, const std::string& text, SettingRead& read) {
            FormModel& f = read.context.form;
            RadioButton FormModel::*chosen = otherwise;
            for (const WordChoice& choice : words)
              if (text == choice.word) chosen = choice.button;
            f.Check(f.*chosen);
            if (then) then(read.context);
          },
          [words](const SettingRow&, SettingWrite& write) -> std::optional<std::string> {
            for (const WordChoice& choice : words)
              if ((write.context.form.*choice.button).checked) return std::string(choice.word);
            return std::nullopt;
          }};
}

}  // namespace dova
