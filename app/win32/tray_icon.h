// TTrayIcon: the program's icon in the notification area of the taskbar. It owns a hidden
// window that receives the shell's callback messages (DoMessage), shows its hint as the icon's
// tooltip, turns button releases over the icon into OnMouseUp events, opens its popup menu on
// the release chosen by PopupMenuOn, and minimizes the application window to the tray (the
// window is hidden, so its taskbar button goes) when the user minimizes it.
//
// Beyond the classic component: the icon is added again when Explorer restarts (the
// "TaskbarCreated" message), and adding it at log-on, when the shell may not be ready yet, is
// retried for a few seconds before "Cannot Create System Shell Notification Icon" is thrown.
#pragma once

#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "app/win32/window_gdi.h"

namespace dova {

enum TTrayIconMessage {
  imClick,
  imDoubleClick,
  imMouseDown,
  imMouseUp,
  imLeftClickUp,
  imLeftDoubleClick,
  imRightClickUp,
  imRightDoubleClick,
  imNone
};

enum class TrayButton { Left, Right, Middle };

struct TrayShiftState {
  bool shift = false, ctrl = false, alt = false;
};

class TTrayIcon {
 public:
  // Creation: the hidden window and the notification record; the current icon is a copy of
  // `applicationIcon`. RestoreOn = imDoubleClick, PopupMenuOn = imNone, not Visible.
  explicit TTrayIcon(HICON applicationIcon);
  // Removes the icon (the result is not checked) and destroys the hidden window.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Shows (NIM_ADD) or removes (NIM_DELETE) the icon. Throws dova::Error with "Cannot Create
  // System Shell Notification Icon" / "Cannot Remove System Shell Notification Icon" when the
  // shell refuses.
  void SetVisible(bool value);
  bool Visible() const { return visible_; }
  // The tooltip; a text of 64 characters or more is ignored and the old one stays.
  void SetHint(const std::string& text);
  const std::string& Hint() const { return hint_; }
  // The menu ShowMenu opens and the window that receives its commands (WM_COMMAND).
  void SetPopupMenu(HMENU menu, HWND owner);
  // The image list the icons come from and the number of the one shown.
  void SetIcons(HIMAGELIST icons);
  void SetIconIndex(int index);
  int IconIndex() const { return iconIndex_; }
  void SetRestoreOn(TTrayIconMessage value) { restoreOn_ = value; }
  void SetPopupMenuOn(TTrayIconMessage value) { popupMenuOn_ = value; }
  // The application window that minimizes to the tray; its system commands are watched
  // (minimize hides it, restore shows it again).
  void SetApplicationWindow(HWND window);

  // Hands the current icon, flags and tip to the shell when the icon is shown (NIM_MODIFY;
  // the result is ignored).
  void Update();
  // Opens the popup menu at the mouse cursor.
  void ShowMenu();
  void Minimize();
  void Restore();
  // Windows is logging off or shutting down: removes the icon.
  void EndSession();

  HWND Handle() const { return window_; }

  // Raised on every button release over the icon, with the cursor position in screen
  // coordinates and the keys held at the time the message is handled.
  std::function<void(TrayButton, TrayShiftState, POINT)> OnMouseUp;
  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ApplicationHookProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  LRESULT DoMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void DoMouseUp(TrayButton button, TTrayIconMessage action);
  bool AddIcon();
  void Hook(bool on);

  HWND window_ = nullptr;
  NOTIFYICONDATAW data_{};
  UniqueIcon icon_;
  HIMAGELIST icons_ = nullptr;
  int iconIndex_ = 0;
  HMENU popupMenu_ = nullptr;
  HWND menuOwner_ = nullptr;
  HWND application_ = nullptr;
  bool hooked_ = false;
  bool visible_ = false;
  std::string hint_;
  TTrayIconMessage restoreOn_ = imDoubleClick;
  TTrayIconMessage popupMenuOn_ = imNone;
  UINT taskbarCreated_ = 0;
};

}  // namespace dova
