#include "app/win32/window_services.h"

#include "app/win32/window_interface_text.h"

namespace dova {

HFONT CreateWindowFont() {
  return CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

ScreenSize Win32Screen::Size() {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Win32ErrorBox::ShowError(const std::string& text) {
  HWND owner = owner_ ? owner_() : nullptr;
  // A hidden owner would leave the box behind other programs' windows.
  UINT flags = MB_OK | MB_ICONERROR;
  if (!owner || !IsWindowVisible(owner)) flags |= MB_SETFOREGROUND;
  MessageBoxW(owner, InterfaceText(text).c_str(), InterfaceText(kApplicationTitle).c_str(), flags);
}

int Win32TextMeasure::TextWidth(const std::string& text) {
  MemoryDc dc;
  SelectInDc select(dc.Get(), font_.Get());
  // Measured as the controls show it.
  const std::wstring shown = InterfaceText(text);
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), shown.data(), static_cast<int>(shown.size()), &size);
  return size.cx;
}

}  // namespace dova
