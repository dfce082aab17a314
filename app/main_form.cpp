#include "app/main_form.h"

#include <cctype>
#include <exception>
#include <map>

#include "app/commands.h"
#include "app/keyboard.h"
#include "app/scheduler.h"
#include "app/start_with_windows.h"
#include "form/channel_grid.h"
#include "form/controller.h"
#include "form/settings_store.h"
#include "form/text_binding.h"
#include "form/wallpaper_change.h"
#include "online/daily_update.h"
#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "platform/ini_file_update.h"
#include "platform/stored_text.h"
#include "text/number_text.h"
#include "wallpaper/cancellation.h"

namespace dova {

namespace {

// The banner's link: the project's page, telling it where the visitor came from.
constexpr const char* kBannerUrl = "http://dova.sourceforge.net/?ref=wallpaper_changer";

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir;
}

}  // namespace

TForm1::TForm1(const Platform& platform, const std::string& executablePath,
               const std::string& commandLineArgs)
    : context_(platform) {
  AppContext& c = context_;
  c.ExecutablePath = executablePath;
  c.CommandLineArgs = commandLineArgs;
  c.ProgramDir = DirectoryOf(executablePath);
  c.DefaultHelpFile = c.HelpFile = c.ProgramDir + "Dova.chm";
  c.LanguagesDir = c.ProgramDir + "Languages\\";
  c.DataDir = c.ProgramDir + "Sites\\";
  c.WindowClosed = false;
  const ScreenSize screen = platform.screen.Size();
  c.ScreenAspect = screen.height > 0 ? static_cast<double>(screen.width) / screen.height : 0.0;
  SeedPictureChoice(platform.clock.SteadyMilliseconds() ^
                    static_cast<unsigned long long>(platform.clock.Now() * 86400000.0));
  c.log.Open(c.DataDir + "dova.log");
}

TForm1::~TForm1() {
  FormDestroy();
  context_.log.Write(LogLevel::Notice, context_.Phrase("finish"));
  context_.log.Close();
}

template <typename Action>
void TForm1::Guarded(Action action) {
  try {
    action();
  } catch (const ConversionCancelled&) {
    // The window was closed during a change: the program is on its way out, nothing to report.
  } catch (const std::exception& error) {
    context_.platform.errors.ShowError(error.what());
  }
}

template <typename Action>
void TForm1::Handle(Action action) {
  Guarded(action);
  Guarded([this] { UpdateControls(context_); });
}

void TForm1::FormCreate() {
  if (created_) return;
  created_ = true;
  AppContext& c = context_;
  FormModel& f = c.form;
  std::unique_ptr<IniFile> ini = OpenStoredIniFile(c.DataDir + "dova.ini");
  SettingsStore settings;

  // Each step runs even when one before it failed: a broken value must not leave the rest of
  // the user's settings unread (and then overwritten with defaults at exit).
  Guarded([&] { LoadChannels(c, *ini); });
  Guarded([&] {
    c.LanguageName = SettingsStore::ReadLanguage(*ini);
    f.ComboBox10.items.clear();
    for (const DirEntry& entry : ListDirectory(c.LanguagesDir + "*.ini")) {
      if (entry.directory || entry.hidden || entry.system || entry.name.size() < 4) continue;
      f.ComboBox10.items.push_back(entry.name.substr(0, entry.name.size() - 4));
    }
    f.ComboBox10.itemIndex = -1;
    for (std::size_t i = 0; i < f.ComboBox10.items.size(); ++i)
      if (f.ComboBox10.items[i] == c.LanguageName) f.ComboBox10.itemIndex = static_cast<int>(i);
    c.phrases.LoadPhrases(c.LanguagesDir + "English.ini");
    c.phrases.LoadPhrases(c.LanguagesDir + f.ComboBox10.Text() + ".ini");
    UpdateLanguage(c);
  });
  Guarded([&] {
    std::vector<std::string> errors = settings.Load(*ini, c);
    for (const std::string& error : errors) c.platform.errors.ShowError(error);
  });
  Guarded([&] {
    const ScreenSize screen = c.platform.screen.Size();
    c.log.Write(LogLevel::Notice, c.Phrase("start"));
    c.log.Write(LogLevel::Notice,
                c.Phrase("resolution") + " - " + std::to_string(screen.width) + "x" +
                    std::to_string(screen.height) + " (" + c.Phrase("widthandheight") + " - " +
                    FormatGeneral(c.ScreenAspect, 3, c.platform.clock.DecimalSeparator()) + " )");
    c.log.Write(LogLevel::Notice,
                c.Phrase("language") + " " + c.LanguagesDir + f.ComboBox10.Text());
  });
  Guarded([&] { LoadPictureList(c, settings.CursorPosition()); });
  Guarded([&] { ShowStartWithWindows(c); });
  showAtStart_ = !f.CheckBox3.checked && Trim(c.CommandLineArgs) != "minimized";
  UpdateControls(c);
  bool changedAtStartUp = false;
  Guarded([&] {
    if (!f.TabSheet1.highlighted || !f.CheckBox1.checked) return;
    changedAtStartUp = true;
    scheduler_.StartUpUpdateEnded(c, DailyPictureUpdate(c, true));
  });
  Guarded([&] {
    if (!f.TabSheet2.highlighted || !f.CheckBox7.checked) return;
    changedAtStartUp = true;
    N1Click(c);
  });
  // A change time that passed while the program was not running.
  Guarded([&] { scheduler_.StartedUp(c, changedAtStartUp); });
  // The change at start-up may have given "Previous picture" something to go back to.
  UpdateControls(c);
  settings_ = std::move(settings);
}

void TForm1::FormClose() { context_.WindowClosed = true; }

void TForm1::FormDestroy() {
  if (destroyed_ || !created_) return;
  destroyed_ = true;
  AppContext& c = context_;
  const std::string iniPath = c.DataDir + "dova.ini";
  // The list is saved even when dova.ini refuses the settings, and the other way round. The
  // settings replace the file in one step, so a failure part-way keeps every stored value.
  Guarded([&] {
    IniFileUpdate update(iniPath);
    bool refused = !SaveChannels(c, update.File());
    std::vector<std::string> errors = settings_.Save(update.File(), c);
    refused = !update.Commit() || refused;
    if (refused && errors.empty()) errors.push_back("Unable to write to " + iniPath);
    if (!errors.empty()) c.platform.errors.ShowError(errors.front());
  });
  Guarded([&] { SavePictureList(c); });
}

void TForm1::ControlClicked(const std::string& name) {
  // The glyph buttons run their commands; check boxes and the other radio buttons only change
  // what is enabled, which every event brings up to date.
  using ClickHandler = void (*)(AppContext&);
  static const std::map<std::string, ClickHandler> kClicks = {
      {"RadioButton9", RadioButton9Click},
      {"RadioButton10", RadioButton9Click},
      {"ColorButton1",
       [](AppContext& c) { c.platform.dialogs.PickColor(c.form.ColorButton1.color); }},
      {"Image1", [](AppContext& c) { c.platform.desktop.OpenUrl(kBannerUrl); }},
  };
  Handle([&] {
    if (name == "CheckBox8") return CheckBox8Click();
    if (const Command* command = CommandOfButton(name)) return RunCommand(context_, command->id);
    const auto found = kClicks.find(name);
    if (found != kClicks.end()) found->second(context_);
  });
}

void TForm1::CheckBox8Click() {
  try {
    SetStartWithWindows(context_.platform.startup, context_.ExecutablePath,
                        context_.form.CheckBox8.checked);
  } catch (...) {
    ShowStartWithWindows(context_);  // the box shows what the system kept
    throw;
  }
  ShowStartWithWindows(context_);
}

void TForm1::ControlEntered(const std::string& name) {
  if (name == "RadioButton6" || name == "RadioButton7") Handle([] {});
}

void TForm1::ControlExited(const std::string& name) { ControlEntered(name); }

void TForm1::ComboBoxChanged(const std::string& name) {
  if (name != "ComboBox10") return;
  Handle([&] {
    // Merged over the current table: keys the new file lacks keep their present text.
    context_.phrases.LoadPhrases(context_.LanguagesDir + context_.form.ComboBox10.Text() + ".ini");
    UpdateLanguage(context_);
  });
}

void TForm1::FileGridSelectionChanged() {
  Handle([] {});
}

void TForm1::FileGridDblClick() {
  Handle([&] { dova::FileGridDblClick(context_); });
}

void TForm1::StringGrid1Click(int row) {
  Handle([&] { dova::StringGrid1Click(context_, row); });
}

void TForm1::StringGrid1DblClick(int row) {
  Handle([&] { dova::StringGrid1DblClick(context_, row); });
}

void TForm1::MenuCommand(const std::string& item) {
  Handle([&] {
    if (const Command* command = CommandOfMenuItem(item)) RunCommand(context_, command->id);
  });
}

void TForm1::TrayIcon1MouseUp(MouseButton button) {
  if (button == MouseButton::Right) return;  // the tray icon opens its menu itself
  MenuCommand("N3");
}

void TForm1::FormKeyDown(int key, ShiftState shift) {
  Handle([&] { HandleFormKey(context_, key, shift); });
}

void TForm1::Timer1Timer() {
  Handle([&] { scheduler_.Tick(context_); });
}

void TForm1::Resumed() {
  Handle([&] { scheduler_.Resumed(context_); });
}

void TForm1::NetworkChanged() {
  Handle([&] { scheduler_.NetworkChanged(context_); });
}

void TForm1::ScreensChanged() {
  Handle([&] { RelayOutWallpaper(context_); });
}

}  // namespace dova
