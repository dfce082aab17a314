// The window's dots per inch. The design is laid out for 96 DPI; on a screen of more, every
// designed position, size and font is scaled by dpi / 96, so the window keeps its proportions
// and its texts stay sharp. The program declares per-monitor awareness in its manifest, so
// Windows tells it each monitor's real DPI (WM_DPICHANGED when the window moves to another) and
// the real size of the screen.
#pragma once

#include <windows.h>

namespace dova {

constexpr UINT kDesignDpi = 96;

// The DPI of the monitor that shows `window`; the system's DPI before Windows 10 1607, whose
// user32 lacks GetDpiForWindow (looked up at run time).
UINT DpiOfWindow(HWND window);

// The DPI new windows get on the primary monitor.
UINT SystemDpi();

// `designUnits` at `dpi`, rounded to the nearest pixel.
inline int ScaleToDpi(int designUnits, UINT dpi) {
  return MulDiv(designUnits, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
inline RECT ScaleToDpi(const RECT& design, UINT dpi) {
  return RECT{ScaleToDpi(design.left, dpi), ScaleToDpi(design.top, dpi),
              ScaleToDpi(design.right, dpi), ScaleToDpi(design.bottom, dpi)};
}

// The outer rectangle of a window whose client area is `client`, with the frame of `dpi`.
RECT FrameAround(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);

// `frame` moved, as little as it takes, into the work area of the monitor nearest to it: a
// window scaled up from its designed place may otherwise stand partly beyond the screen.
RECT KeptOnScreen(const RECT& frame);

}  // namespace dova
