#include "form/settings_store.h"

#include "form/controller.h"
#include "form/picture_caption.h"
#include "form/picture_history.h"
#include "form/resize_mode_setting.h"
#include "platform/file_system.h"
#include "text/number_text.h"

namespace dova {

namespace {

bool Truth(IniFile& ini, const char* section, const char* key, const char* def) {
  return ini.ReadString(section, key, def) == "1";
}

const char* TruthText(bool value) { return value ? "1" : "0"; }

}  // namespace

std::string SettingsStore::ReadLanguage(IniFile& ini) {
  return ini.ReadString("Main", "Language", "English");
}

void SettingsStore::ReadIndex(IniFile& ini, const char* section, const char* key, const char* def,
                              ComboBox& list, std::vector<std::string>& errors) {
  const std::string text = ini.ReadString(section, key, def);
  int index = 0;
  if (ParseInteger(text, index)) {
    list.Select(index);
    return;
  }
  // The stored text is kept for the save, so that the user's value is not replaced by a
  // default the program never showed.
  list.Select(-1);
  unreadable_[std::string(section) + "\n" + key] = {text, &list};
  errors.push_back(NotAnIntegerMessage(text));
}

std::vector<std::string> SettingsStore::Load(IniFile& ini, AppContext& context) {
  std::vector<std::string> errors;
  FormModel& f = context.form;

  // [Main]
  const std::string sectionText = ini.ReadString("Main", "Section", "0");
  int page = 0;
  if (ParseInteger(sectionText, page)) {
    f.activePage = page >= 0 && page <= 3 ? page : 1;
  } else {
    errors.push_back(NotAnIntegerMessage(sectionText));
  }

  ShowResizeMode(f, ResizeModeFromWords(ini.ReadString("Main", "Resize", "windows"),
                                        ini.ReadString("Main", "Proportions", "stretch")));
  // An unreadable colour is the default black: the ground is a matter of taste, not of error.
  f.ColorButton1.color = 0x000000;
  ParseColorText(ini.ReadString("Main", "FitColor", "#000000"), f.ColorButton1.color);

  context.CurrentWallpaper = ini.ReadString("Main", "CurrentWallpaper", "");
  context.CurrentCaption = ini.ReadString("Main", "CurrentCaption", "");
  context.form.trayHint = TrayTipFor(context.CurrentCaption);
  context.RecentPictures = LoadRecentPictures(ini);
  ReadIndex(ini, "Main", "Filter", "6", f.ComboBox5, errors);

  f.Check(ini.ReadString("Main", "WorkType", "online") == "online" ? f.RadioButton9
                                                                   : f.RadioButton10);
  RadioButton9Click(context);
  f.CheckBox3.checked = Truth(ini, "Main", "InTray", "1");

  // [OnLine]
  f.CheckBox4.checked = Truth(ini, "OnLine", "UseProxy", "1");
  f.CheckBox5.checked = Truth(ini, "OnLine", "UseProxyPassword", "1");
  f.CheckBox6.checked = Truth(ini, "OnLine", "LimitSpeed", "1");
  f.Edit1.text = ini.ReadString("OnLine", "ProxyServer", "");
  f.Edit2.text = ini.ReadString("OnLine", "ProxyPort", "");
  f.Edit3.text = ini.ReadString("OnLine", "ProxyLogin", "");
  f.Edit4.text = ini.ReadString("OnLine", "ProxyPassword", "");
  // A missing size limit selects the largest entry, "5000" KB.
  ReadIndex(ini, "OnLine", "MaximumDowloadFileSize", "12", f.ComboBox3, errors);
  ReadIndex(ini, "OnLine", "MaximumDowloadSpeed", "4", f.ComboBox4, errors);
  f.CheckBox1.checked = Truth(ini, "OnLine", "OnLoad", "1");
  f.CheckBox2.checked = Truth(ini, "OnLine", "OnTime", "1");
  ReadIndex(ini, "OnLine", "Hours", "13", f.ComboBox1, errors);
  ReadIndex(ini, "OnLine", "Minutes", "0", f.ComboBox2, errors);

  // [OffLine]
  int cursor = 0;
  cursorPosition_ =
      ParseInteger(ini.ReadString("OffLine", "CursorPosition", "0"), cursor) ? cursor : 0;
  f.CheckBox7.checked = Truth(ini, "OffLine", "OnLoad", "1");
  ReadIndex(ini, "OffLine", "Hours", "13", f.ComboBox6, errors);
  ReadIndex(ini, "OffLine", "Minutes", "0", f.ComboBox7, errors);
  ReadIndex(ini, "OffLine", "inaHours", "0", f.ComboBox8, errors);
  ReadIndex(ini, "OffLine", "inaMinutes", "20", f.ComboBox9, errors);
  f.Check(ini.ReadString("OffLine", "Changing", "period") == "period" ? f.RadioButton7
                                                                      : f.RadioButton6);
  f.Check(ini.ReadString("OffLine", "Selecting", "random") == "random" ? f.RadioButton5
                                                                       : f.RadioButton4);

  // [Offline]
  double previous = 0.0;
  context.PreviousSetWallpaper = ParseFloat(ini.ReadString("Offline", "PreviousSetWallpaper", "0"),
                                            context.platform.clock.DecimalSeparator(), previous)
                                     ? previous
                                     : 0.0;

  const std::string path = ini.ReadString("OffLine", "Path", "");
  if (!path.empty()) SetCurrentDir(path);
  return errors;
}

std::vector<std::string> SettingsStore::Save(IniFile& ini, AppContext& context) const {
  const FormModel& f = context.form;
  bool refused = false;
  auto write = [&](const char* section, const char* key, const std::string& value) {
    if (!ini.WriteString(section, key, value)) refused = true;
  };
  auto writeIndex = [&](const char* section, const char* key, const ComboBox& list) {
    auto kept = unreadable_.find(std::string(section) + "\n" + key);
    if (kept != unreadable_.end() && list.itemIndex < 0)
      write(section, key, kept->second.first);
    else
      write(section, key, std::to_string(list.itemIndex));
  };

  write("Main", "Section", std::to_string(f.activePage));
  if (const std::optional<ResizeMode> mode = CheckedResizeMode(f)) {
    write("Main", "Resize", ResizeModeWord(*mode));
    if (const char* proportions = ProportionsWord(*mode)) write("Main", "Proportions", proportions);
  }
  write("Main", "FitColor", ColorText(f.ColorButton1.color));
  write("Main", "CurrentWallpaper", context.CurrentWallpaper);
  write("Main", "CurrentCaption", context.CurrentCaption);
  if (!SaveRecentPictures(ini, context.RecentPictures)) refused = true;
  write("Main", "Language", f.ComboBox10.Text());
  writeIndex("Main", "Filter", f.ComboBox5);
  if (f.RadioButton9.checked)
    write("Main", "WorkType", "online");
  else if (f.RadioButton10.checked)
    write("Main", "WorkType", "offline");
  write("Main", "InTray", TruthText(f.CheckBox3.checked));

  write("OnLine", "UseProxy", TruthText(f.CheckBox4.checked));
  write("OnLine", "UseProxyPassword", TruthText(f.CheckBox5.checked));
  write("OnLine", "LimitSpeed", TruthText(f.CheckBox6.checked));
  write("OnLine", "ProxyServer", f.Edit1.text);
  write("OnLine", "ProxyPort", f.Edit2.text);
  write("OnLine", "ProxyLogin", f.Edit3.text);
  write("OnLine", "ProxyPassword", f.Edit4.text);
  writeIndex("OnLine", "MaximumDowloadFileSize", f.ComboBox3);
  writeIndex("OnLine", "MaximumDowloadSpeed", f.ComboBox4);
  write("OnLine", "OnLoad", TruthText(f.CheckBox1.checked));
  write("OnLine", "OnTime", TruthText(f.CheckBox2.checked));
  writeIndex("OnLine", "Hours", f.ComboBox1);
  writeIndex("OnLine", "Minutes", f.ComboBox2);

  write("OffLine", "CursorPosition", std::to_string(f.FileGrid.selTop));
  write("OffLine", "OnLoad", TruthText(f.CheckBox7.checked));
  write("OffLine", "Path", GetCurrentDir());
  if (f.RadioButton4.checked)
    write("OffLine", "Selecting", "line");
  else if (f.RadioButton5.checked)
    write("OffLine", "Selecting", "random");
  if (f.RadioButton6.checked)
    write("OffLine", "Changing", "time");
  else if (f.RadioButton7.checked)
    write("OffLine", "Changing", "period");
  writeIndex("OffLine", "Hours", f.ComboBox6);
  writeIndex("OffLine", "Minutes", f.ComboBox7);
  writeIndex("OffLine", "inaHours", f.ComboBox8);
  writeIndex("OffLine", "inaMinutes", f.ComboBox9);

  write("Offline", "PreviousSetWallpaper",
        FormatGeneral(context.PreviousSetWallpaper, 15, context.platform.clock.DecimalSeparator()));

  if (!refused) return {};
  return {"Unable to write to " + ini.Path()};
}

}  // namespace dova
