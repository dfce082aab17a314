// The small services of the program's window that the core reaches through the platform
// interfaces: the screen size, the standard error box and the measuring of caption widths in
// the window's font.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/dpi.h"
#include "app/win32/window_gdi.h"
#include "platform/error_box.h"
#include "platform/screen.h"
#include "platform/text_measure.h"

namespace dova {

// The application title: the error box's caption, the tray's hint.
constexpr char kApplicationTitle[] = "Dova Wallpaper Changer";

// The window's font: "MS Sans Serif" at 8 points (height -11 at 96 DPI), for `dpi`. The
// caller owns it. Texts are measured for the design at 96 DPI.
HFONT CreateWindowFont(UINT dpi = kDesignDpi);

class Win32Screen : public Screen {
 public:
  ScreenSize Size() override;  // the primary screen, in pixels
  // EnumDisplayMonitors in physical pixels (the program is per-monitor DPI aware), each known
  // by its device interface path; the primary screen alone when the system lists none.
  std::vector<MonitorArea> Monitors() override;
};

// The standard message box with the application title and the error icon, owned by the window that
// `owner` gives at the moment (null: none).
class Win32ErrorBox : public ErrorBox {
 public:
  explicit Win32ErrorBox(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  void ShowError(const std::string& text) override;

 private:
  std::function<HWND()> owner_;
};

// The width of an interface text in the window's font.
class Win32TextMeasure : public TextMeasure {
 public:
  Win32TextMeasure() : font_(CreateWindowFont()) {}
  int TextWidth(const std::string& text) override;

 private:
  UniqueFont font_;
};

}  // namespace dova
