// One running copy of the program per user session: a second copy started while one runs would
// read and write the same settings, list and journal files. The second copy asks the running
// one to open its window (unless it was started "minimized") and ends at once.
#pragma once

#include <windows.h>

namespace dova {

constexpr char kMainWindowClass[] = "TForm1";
// Set on the main window so that the second copy finds this program's window, not another
// program's window of the same class.
constexpr char kMainWindowProperty[] = "DovaWallpaperChanger.MainWindow";
// Posted to the main window: open yourself, as the tray menu's first item does.
constexpr char kOpenRequestMessage[] = "DovaWallpaperChanger.Open";

class SingleInstance {
 public:
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  // False when another copy of the program holds the session's mutex.
  bool IsFirst() const { return first_; }

 private:
  HANDLE mutex_ = nullptr;
  bool first_ = true;
};

// Finds the running copy's main window and posts it the open request, letting it come to the
// foreground. False when no such window was found (the copy may still be starting).
bool AskRunningCopyToOpen();

}  // namespace dova
