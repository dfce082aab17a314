// The message loop of the application: the form sees every key press in its window before the
// focused control does (KeyPreview), then the dialog manager moves the focus with Tab and the
// arrows, then the control gets the key. The loop is a Unicode one, so that the typed
// characters reach the Unicode edit fields whatever the system's code page.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_window.h"
#include "app/win32/main_window_internal.h"

namespace dova {

bool MainWindow::IsOwnWindow(HWND window) const {
  return window_ && (window == window_ || IsChild(window_, window));
}

void MainWindow::OnKeyDown(const MSG& message) {
  if (!form_) return;
  const int key = static_cast<int>(message.wParam);
  ShiftState shift;
  shift.shift = GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = GetKeyState(VK_CONTROL) < 0;
  shift.alt = GetKeyState(VK_MENU) < 0;
  form_->Form().activeControl = NameOfFocus();
  Dispatch([this, key, shift] { form_->FormKeyDown(key, shift); });
}

void MainWindow::Pump(MSG& message) {
  if (help_.PreTranslateMessage(message)) return;
  const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  if (keyDown && IsOwnWindow(message.hwnd)) {
    OnKeyDown(message);
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in every tabbed window.
    if (message.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && form_ && !pages_.empty()) {
      FormModel& f = form_->Form();
      const int count = static_cast<int>(pages_.size());
      f.activePage = (f.activePage + (GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1)) % count;
      Sync();
      return;
    }
  }
  if (window_ && IsDialogMessageW(window_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void MainWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    Pump(message);
  }
}

void MainWindow::Terminate() { PostQuitMessage(0); }

void MainWindow::Run() {
  MSG message;
  while (!terminated_) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    Pump(message);
  }
}

}  // namespace dova
