// Fakes of the platform services for native tests: a settable clock, a fixed screen, a
// recording message pump, error box, dialogs, help viewer, desktop and start-up entries.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/monitor_wallpaper.h"
#include "platform/platform.h"
#include "tests/support/temp_dir.h"

namespace dova::testing {

class FakeClock : public Clock {
 public:
  double now = EncodeDateTime(2026, 12, 8, 10, 0, 0);
  char decimalSeparator = '.';
  std::uint64_t steady = 0;
  double utcOffset = 0;  // local time minus UTC, in days
  double Now() override { return now; }
  double UtcNow() override { return now - utcOffset; }
  std::string FormatShortDate(double t) override {
    int y, m, d;
    DecodeDate(t, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d, m, y);
    return text;
  }
  std::string FormatLongTime(double t) override {
    int h, n, s, ms;
    DecodeTime(t, h, n, s, ms);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", h, n, s);
    return text;
  }
  char DecimalSeparator() override { return decimalSeparator; }
  std::uint64_t SteadyMilliseconds() override { return steady; }
  void Sleep(unsigned ms) override { steady += ms; }
  void Set(int year, int month, int day, int hour, int minute, int second) {
    now = EncodeDateTime(year, month, day, hour, minute, second);
  }
};

class FakeScreen : public Screen {
 public:
  ScreenSize size{1024, 768};
  std::vector<MonitorArea> monitors;  // empty: the primary screen of `size` alone
  ScreenSize Size() override { return size; }
  std::vector<MonitorArea> Monitors() override {
    return monitors.empty() ? Screen::Monitors() : monitors;
  }
};

class FakePump : public MessagePump {
 public:
  int processed = 0, repaints = 0;
  bool terminated = false;
  std::function<void()> onProcessMessages;  // runs "user events" in the middle of work
  void ProcessMessages() override {
    ++processed;
    if (onProcessMessages) onProcessMessages();
  }
  void Terminate() override { terminated = true; }
  void Repaint() override { ++repaints; }
};

class FakeErrorBox : public ErrorBox {
 public:
  std::vector<std::string> shown;
  void ShowError(const std::string& text) override { shown.push_back(text); }
};

class FakeTextMeasure : public TextMeasure {
 public:
  int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
};

class FakeDialogs : public Dialogs {
 public:
  std::vector<std::string> files;  // what the file dialog returns
  std::string folder;              // what the folder dialog returns
  std::string lastTitle;
  std::vector<std::string> OpenPictureFiles(const std::string& title, const std::string&) override {
    lastTitle = title;
    return files;
  }
  std::string BrowseForFolder(const std::string& title) override {
    lastTitle = title;
    return folder;
  }
  int colorDialogs = 0;
  bool colorChosen = false;  // what the colour dialog does: pick `color`, or cancel
  unsigned color = 0;
  bool PickColor(unsigned& rgb) override {
    ++colorDialogs;
    if (colorChosen) rgb = color;
    return colorChosen;
  }
};

class FakeHelp : public HelpViewer {
 public:
  std::vector<std::string> shown;
  void DisplayTopic(const std::string& address) override { shown.push_back(address); }
};

// Per-monitor wallpapers that record each call; `refusal` not empty: refused with it.
class FakeMonitorWallpaper : public MonitorWallpaper {
 public:
  struct Call {
    std::vector<MonitorBitmap> bitmaps;
    WallpaperPosition position;
  };
  std::vector<Call> calls;
  std::string refusal;
  DesktopResult SetWallpapers(const std::vector<MonitorBitmap>& bitmaps,
                              WallpaperPosition position) override {
    DesktopResult result;
    result.reason = refusal;
    result.applied = refusal.empty();
    if (result.applied) calls.push_back({bitmaps, position});
    return result;
  }
};

class FakeDesktop : public Desktop {
 public:
  std::string wallpaper;
  std::string stretch;  // the StrechWallpaper value
  WallpaperPosition position = WallpaperPosition::Stretch;
  int calls = 0;            // bitmaps the desktop took
  bool failWrites = false;  // the registry cannot be written: throws
  std::string refusal;      // not empty: the system call fails with this reason
  int refused = 0;
  std::vector<std::string> openedUrls;
  bool tilesFromPrimary = false;
  bool TilesFromPrimaryMonitor() override { return tilesFromPrimary; }
  MonitorWallpaper* monitorWallpapers = nullptr;  // not null: the system offers them
  MonitorWallpaper* MonitorWallpapers() override { return monitorWallpapers; }
  DesktopResult SetWallpaper(const std::string& path, WallpaperPosition position) override;
  void OpenUrl(const std::string& url) override { openedUrls.push_back(url); }
};

class FakeWindow : public WindowHost {
 public:
  int opened = 0;
  void OpenMainWindow() override { ++opened; }
};

// The user's start-up entries in memory; `refuseWrites` plays a system that refuses them.
class FakeStartupEntries : public StartupEntries {
 public:
  std::map<std::string, std::string> commands, switches;
  bool refuseWrites = false;
  bool ReadCommand(const std::string& name, std::string& command) override {
    return Read(commands, name, command);
  }
  void WriteCommand(const std::string& name, const std::string& command) override {
    Refuse();
    commands[name] = command;
  }
  void RemoveCommand(const std::string& name) override {
    Refuse();
    commands.erase(name);
  }
  bool ReadSwitch(const std::string& name, std::string& bytes) override {
    return Read(switches, name, bytes);
  }
  void WriteSwitch(const std::string& name, const std::string& bytes) override {
    Refuse();
    switches[name] = bytes;
  }
  void RemoveSwitch(const std::string& name) override {
    Refuse();
    switches.erase(name);
  }

 private:
  static bool Read(const std::map<std::string, std::string>& values, const std::string& name,
                   std::string& value) {
    const auto found = values.find(name);
    if (found == values.end()) return false;
    value = found->second;
    return true;
  }
  void Refuse() const {
    if (refuseWrites) throw Error("Failed to set data for 'Dova Wallpaper Changer': Access denied");
  }
};

// Converts "/tmp/x/y" to the program's form "\tmp\x\y".
std::string CorePath(const std::string& posixPath);

}  // namespace dova::testing
