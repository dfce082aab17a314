#include "app/win32/window_single_instance.h"

namespace dova {

namespace {

constexpr char kMutexName[] = "DovaWallpaperChanger.SingleInstance";

BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, kMainWindowClass) == 0 && GetPropA(window, kMainWindowProperty)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

SingleInstance::SingleInstance() {
  mutex_ = CreateMutexA(nullptr, FALSE, kMutexName);
  first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

bool AskRunningCopyToOpen() {
  HWND running = nullptr;
  // The running copy may still be creating its window: look for it for a few seconds.
  for (int attempt = 0; attempt < 20 && !running; ++attempt) {
    if (attempt > 0) Sleep(250);
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&running));
  }
  if (!running) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  // This copy was just started by the user, so it may hand the foreground on.
  AllowSetForegroundWindow(process);
  return PostMessageA(running, RegisterWindowMessageA(kOpenRequestMessage), 0, 0) != FALSE;
}

}  // namespace dova
