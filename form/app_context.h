// What every operation of the main window shares: the controls (the live settings), the
// platform services, the phrases, the journal, the channels, the program's directories and the
// process-wide values. The main window owns one; the operations take it by reference.
#pragma once

#include <string>
#include <vector>

#include "form/channel_catalogue.h"
#include "form/form_model.h"
#include "platform/platform.h"
#include "text/language_pack.h"
#include "text/log_file.h"
#include "wallpaper/monitor_layout.h"

namespace dova {

class AppContext {
 public:
  explicit AppContext(const Platform& services) : platform(services), log(services.clock) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  FormModel form;
  Platform platform;
  LanguagePack phrases;
  LogFile log;
  ChannelCatalogue channels;

  std::string ExecutablePath;  // the running program's full path
  // Directories end in a backslash.
  std::string ProgramDir, DataDir, LanguagesDir, DefaultHelpFile, HelpFile;
  std::string LanguageName;
  std::string CommandLineArgs;

  std::string CurrentWallpaper;       // the last picture taken: a URL or a list file's path
  std::string CurrentCaption;         // what the channel says the wallpaper shows, or empty
  double PreviousSetWallpaper = 0.0;  // date-time of the last applied wallpaper, 0 = never
  double ScreenAspect = 0.0;          // screen width / height, taken at construction
  // The sources of the last wallpapers, newest first ([0] is shown now): see picture_history.h.
  std::vector<std::string> RecentPictures;
  // The pictures on the screens now, by monitor, so that a new arrangement of the screens can
  // show them again (see RelayOutWallpaper); empty before the first change of the run.
  std::vector<MonitorPicture> ShownPictures;
  bool WindowClosed = false;  // set by the window's close event

  std::string Phrase(const std::string& key) const { return phrases.GetPhrase(key); }

  // Sets the status bar's text and shows it at once.
  void SetStatus(const std::string& text) {
    form.statusText = text;
    platform.pump.Repaint();
  }
  // Writes the status bar's current text to the journal.
  void LogStatus(LogLevel level) { log.Write(level, form.statusText); }
  // Sets the tray icon's picture: 1 transferring, 2 converting or failed, 3 at rest.
  void SetTrayIcon(int index) {
    form.trayIconIndex = index;
    platform.pump.Repaint();
  }

  // True while a wallpaper change runs. Changes pump the message queue, so a timer tick or a
  // menu command can arrive in the middle of one; such a second change is ignored.
  bool changeRunning = false;
};

// Marks a wallpaper change as running for its lifetime; Acquired() is false when another
// change was running already, and then the caller returns without doing anything.
class ChangeGuard {
 public:
  explicit ChangeGuard(AppContext& context) : context_(context), acquired_(!context.changeRunning) {
    if (acquired_) context_.changeRunning = true;
  }
  ~ChangeGuard() {
    if (acquired_) context_.changeRunning = false;
  }
  ChangeGuard(const ChangeGuard&) = delete;
  ChangeGuard& operator=(const ChangeGuard&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  AppContext& context_;
  bool acquired_;
};

}  // namespace dova
