#include "form/settings_store.h"

#include "form/controller.h"
#include "form/picture_caption.h"
#include "form/picture_history.h"
#include "form/resize_mode_setting.h"
#include "form/screens_setting.h"
#include "platform/file_system.h"
#include "text/number_text.h"

namespace dova {

namespace {

using Text = std::optional<std::string>;

// [Main] Section: the page shown first; a number outside the four pages shows the list's.
SettingRow PageSetting() {
  return {"Main", "Section", "0",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            int page = 0;
            if (ParseInteger(text, page))
              read.context.form.activePage = page >= 0 && page <= 3 ? page : 1;
            else
              read.errors.push_back(NotAnIntegerMessage(text));
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            return std::to_string(write.context.form.activePage);
          }};
}

// [Main] Resize and Proportions: see form/resize_mode_setting.h. Proportions is read second and
// decides the mode of both words.
SettingRow ResizeSetting() {
  return {"Main", "Resize", "windows",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            read.memory.resizeWord = text;
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            const std::optional<ResizeMode> mode = CheckedResizeMode(write.context.form);
            if (!mode) return std::nullopt;
            return std::string(ResizeModeWord(*mode));
          }};
}

SettingRow ProportionsSetting() {
  return {"Main", "Proportions", "stretch",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            ShowResizeMode(read.context.form, ResizeModeFromWords(read.memory.resizeWord, text));
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            const std::optional<ResizeMode> mode = CheckedResizeMode(write.context.form);
            const char* word = mode ? ProportionsWord(*mode) : nullptr;
            if (!word) return std::nullopt;
            return std::string(word);
          }};
}

// An unreadable colour is the default black: the ground is a matter of taste, not of error.
SettingRow FitColorSetting() {
  return {"Main", "FitColor", "#000000",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            unsigned& color = read.context.form.ColorButton1.color;
            color = 0x000000;
            ParseColorText(text, color);
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            return ColorText(write.context.form.ColorButton1.color);
          }};
}

// [Main] Monitors: see form/screens_setting.h.
SettingRow MonitorsSetting() {
  return {"Main", "Monitors", "same",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            ShowScreensMode(read.context.form, ScreensModeFromWord(text));
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            return std::string(ScreensModeWord(ScreensModeOf(write.context.form)));
          }};
}

// [Main] Recent1 .. Recent5, newest first (form/picture_history.h): the empty ones and those
// past the first gap are left out; the unused ones are written empty.
SettingRow RecentSetting(int i) {
  static const char* const kKeys[kRecentPictures] = {"Recent1", "Recent2", "Recent3", "Recent4",
                                                     "Recent5"};
  return {"Main", kKeys[i], "",
          [i](const SettingRow&, const std::string& text, SettingRead& read) {
            std::vector<std::string>& recent = read.context.RecentPictures;
            if (i == 0) recent.clear();
            if (!text.empty() && static_cast<int>(recent.size()) == i) recent.push_back(text);
          },
          [i](const SettingRow&, SettingWrite& write) -> Text {
            const std::vector<std::string>& recent = write.context.RecentPictures;
            return i < static_cast<int>(recent.size()) ? recent[i] : std::string();
          }};
}

// [Main] Language: the language file's name, read before the other keys (ReadLanguage) to load
// the phrases; written as the language box shows it, empty when nothing is chosen.
SettingRow LanguageSetting() {
  return {"Main", "Language", "English",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            read.context.LanguageName = text;
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            return write.context.form.ComboBox10.Text();
          }};
}

// [OffLine] CursorPosition: the list row selected at start; a malformed value is row 0.
SettingRow CursorSetting() {
  return {"OffLine", "CursorPosition", "0",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            int cursor = 0;
            read.memory.cursorPosition = ParseInteger(text, cursor) ? cursor : 0;
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            return std::to_string(write.context.form.FileGrid.selTop);
          }};
}

// [OffLine] Path: the current directory, where the file chooser opens.
SettingRow PathSetting() {
  return {"OffLine", "Path", "",
          [](const SettingRow&, const std::string& text, SettingRead&) {
            if (!text.empty()) SetCurrentDir(text);
          },
          [](const SettingRow&, SettingWrite&) -> Text { return GetCurrentDir(); }};
}

// [Offline] PreviousSetWallpaper, a date-time with the user's decimal separator; a value that
// does not convert is "never".
SettingRow PreviousSetWallpaperSetting() {
  return {"Offline", "PreviousSetWallpaper", "0",
          [](const SettingRow&, const std::string& text, SettingRead& read) {
            double previous = 0.0;
            read.context.PreviousSetWallpaper =
                ParseFloat(text, read.context.platform.clock.DecimalSeparator(), previous)
                    ? previous
                    : 0.0;
          },
          [](const SettingRow&, SettingWrite& write) -> Text {
            return FormatGeneral(write.context.PreviousSetWallpaper, 15,
                                 write.context.platform.clock.DecimalSeparator());
          }};
}

// Every key, in the order it is written. A missing key reads as its default.
const std::vector<SettingRow>& Settings() {
  using F = FormModel;
  static const std::vector<SettingRow> kSettings = {
      PageSetting(),
      ResizeSetting(),
      ProportionsSetting(),
      FitColorSetting(),
      TextSetting("Main", "CurrentWallpaper", "", &AppContext::CurrentWallpaper),
      TextSetting("Main", "CurrentCaption", "", &AppContext::CurrentCaption),
      RecentSetting(0),
      RecentSetting(1),
      RecentSetting(2),
      RecentSetting(3),
      RecentSetting(4),
      LanguageSetting(),
      IndexSetting("Main", "Filter", "6", &F::ComboBox5),
      MonitorsSetting(),
      WordSetting("Main", "WorkType", "online",
                  {{"online", &F::RadioButton9}, {"offline", &F::RadioButton10}}, &F::RadioButton10,
                  RadioButton9Click),
      TruthSetting("Main", "InTray", "1", &F::CheckBox3),

      TruthSetting("OnLine", "UseProxy", "1", &F::CheckBox4),
      TruthSetting("OnLine", "UseProxyPassword", "1", &F::CheckBox5),
      TruthSetting("OnLine", "LimitSpeed", "1", &F::CheckBox6),
      TextSetting("OnLine", "ProxyServer", "", &F::Edit1),
      TextSetting("OnLine", "ProxyPort", "", &F::Edit2),
      TextSetting("OnLine", "ProxyLogin", "", &F::Edit3),
      TextSetting("OnLine", "ProxyPassword", "", &F::Edit4),
      // A missing size limit selects the largest entry, "5000" KB.
      IndexSetting("OnLine", "MaximumDowloadFileSize", "12", &F::ComboBox3),
      IndexSetting("OnLine", "MaximumDowloadSpeed", "4", &F::ComboBox4),
      TruthSetting("OnLine", "OnLoad", "1", &F::CheckBox1),
      TruthSetting("OnLine", "OnTime", "1", &F::CheckBox2),
      IndexSetting("OnLine", "Hours", "13", &F::ComboBox1),
      IndexSetting("OnLine", "Minutes", "0", &F::ComboBox2),

      CursorSetting(),
      TruthSetting("OffLine", "OnLoad", "1", &F::CheckBox7),
      PathSetting(),
      WordSetting("OffLine", "Selecting", "random",
                  {{"line", &F::RadioButton4}, {"random", &F::RadioButton5}}, &F::RadioButton4),
      WordSetting("OffLine", "Changing", "period",
                  {{"time", &F::RadioButton6}, {"period", &F::RadioButton7}}, &F::RadioButton6),
      IndexSetting("OffLine", "Hours", "13", &F::ComboBox6),
      IndexSetting("OffLine", "Minutes", "0", &F::ComboBox7),
      IndexSetting("OffLine", "inaHours", "0", &F::ComboBox8),
      IndexSetting("OffLine", "inaMinutes", "20", &F::ComboBox9),

      // The same section as [OffLine]: names match without regard to case.
      PreviousSetWallpaperSetting(),
  };
  return kSettings;
}

}  // namespace

std::string SettingsStore::ReadLanguage(IniFile& ini) {
  const SettingRow row = LanguageSetting();
  return ini.ReadString(row.section, row.key, row.def);
}

std::vector<std::string> SettingsStore::Load(IniFile& ini, AppContext& context) {
  std::vector<std::string> errors;
  SettingRead read{context, memory_, errors};
  for (const SettingRow& row : Settings())
    row.read(row, ini.ReadString(row.section, row.key, row.def), read);
  context.form.trayHint = TrayTipFor(context.CurrentCaption);
  return errors;
}

std::vector<std::string> SettingsStore::Save(IniFile& ini, AppContext& context) const {
  SettingWrite write{context, memory_};
  bool refused = false;
  for (const SettingRow& row : Settings())
    if (const Text value = row.write(row, write))
      refused = !ini.WriteString(row.section, row.key, *value) || refused;
  if (!refused) return {};
  return {"Unable to write to " + ini.Path()};
}

}  // namespace dova
