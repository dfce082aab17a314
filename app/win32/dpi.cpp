#include "app/win32/dpi.h"

namespace dova {

namespace {

// The per-monitor functions of Windows 10 1607, absent from older systems and from the MinGW
// headers for the Windows 7 target this program is built for.
template <typename Function>
Function User32Function(const char* name) {
  static HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

UINT ScreenDcDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT DpiOfWindow(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return dpi;
  }
  return SystemDpi();
}

UINT SystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (getDpiForSystem) {
    const UINT dpi = getDpiForSystem();
    if (dpi > 0) return dpi;
  }
  return ScreenDcDpi();
}

RECT FrameAround(const RECT& client, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT frame = client;
  if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, dpi))
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return frame;
}

RECT KeptOnScreen(const RECT& frame) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor)) return frame;
  const RECT& area = monitor.rcWork;
  RECT kept = frame;
  if (kept.right > area.right) OffsetRect(&kept, area.right - kept.right, 0);
  if (kept.bottom > area.bottom) OffsetRect(&kept, 0, area.bottom - kept.bottom);
  if (kept.left < area.left) OffsetRect(&kept, area.left - kept.left, 0);
  if (kept.top < area.top) OffsetRect(&kept, 0, area.top - kept.top);
  return kept;
}

}  // namespace dova
