#include "app/win32/view_panel.h"

namespace dova {

namespace {

constexpr wchar_t kPanelClass[] = L"DovaPanel";
constexpr int kFrameId = 0x7F00;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      // The group frame's own notices stay here; everything else belongs to the main window.
      if (message == WM_COMMAND && LOWORD(wParam) == kFrameId) break;
      return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_NOTIFYFORMAT:
      // The picture list's list view hands its file names over in the system's code page.
      return NFR_ANSI;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPanelClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPanelClass;
  RegisterClassW(&wc);
  registered = true;
}

}  // namespace

HWND CreatePanel(HWND parent, const RECT& place, bool groupFrame) {
  RegisterPanelClass();
  HWND panel =
      CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE, place.left,
                      place.top, place.right - place.left, place.bottom - place.top, parent,
                      nullptr, GetModuleHandleW(nullptr), nullptr);
  if (panel && groupFrame) {
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0,
                    place.right - place.left, place.bottom - place.top, panel,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFrameId)),
                    GetModuleHandleW(nullptr), nullptr);
  }
  return panel;
}

void SetPanelCaption(HWND panel, const std::wstring& caption) {
  if (HWND frame = GetDlgItem(panel, kFrameId)) SetWindowTextW(frame, caption.c_str());
}

}  // namespace dova
