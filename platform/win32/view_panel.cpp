#include "platform/win32/view_panel.h"

namespace dova {

namespace {

constexpr char kPanelClass[] = "DovaPanel";
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
      return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_NOTIFYFORMAT:
      return NFR_ANSI;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPanelClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPanelClass;
  RegisterClassA(&wc);
  registered = true;
}

}  // namespace

HWND CreatePanel(HWND parent, const RECT& place, bool groupFrame) {
  RegisterPanelClass();
  HWND panel = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "",
                               WS_CHILD | WS_VISIBLE, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, parent,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  if (panel && groupFrame) {
    CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0,
                    place.right - place.left, place.bottom - place.top, panel,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFrameId)),
                    GetModuleHandleA(nullptr), nullptr);
  }
  return panel;
}

void SetPanelCaption(HWND panel, const std::string& caption) {
  if (HWND frame = GetDlgItem(panel, kFrameId)) SetWindowTextA(frame, caption.c_str());
}

}  // namespace dova
