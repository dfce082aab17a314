#include "app/win32/view_speed_button.h"

namespace dova {

namespace {

constexpr char kSpeedButtonClass[] = "DovaSpeedButton";

struct SpeedButtonState {
  HIMAGELIST glyphs = nullptr;
  int index = 0;          // the glyph
  int disabledIndex = 0;  // its greyed form
  bool hot = false;      // the mouse is over the button
  bool pressed = false;  // the left button went down on it and is still held
};

SpeedButtonState* StateOf(HWND window) {
  return reinterpret_cast<SpeedButtonState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool CursorInside(HWND window, LPARAM lParam) {
  RECT client;
  GetClientRect(window, &client);
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&client, point) != FALSE;
}

void Paint(HWND window, const SpeedButtonState& state) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

  const bool enabled = IsWindowEnabled(window) != FALSE;
  const bool down = enabled && state.pressed && state.hot;
  if (enabled && (state.hot || state.pressed)) {
    RECT edge = client;
    DrawEdge(dc, &edge, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  int cx = 0, cy = 0;
  if (state.glyphs && ImageList_GetIconSize(state.glyphs, &cx, &cy)) {
    int x = (client.right - cx) / 2, y = (client.bottom - cy) / 2;
    if (down) ++x, ++y;
    ImageList_Draw(state.glyphs, enabled ? state.index : state.disabledIndex, dc, x, y,
                   ILD_TRANSPARENT);
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK SpeedButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SpeedButtonState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE: {
      // The window keeps its own copy of the state and frees it in WM_NCDESTROY.
      const auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
      const auto* initial = static_cast<const SpeedButtonState*>(created->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(new SpeedButtonState(*initial)));
      break;
    }
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    case WM_PAINT:
      if (state) {
        Paint(window, *state);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_ENABLE:
      if (state && !wParam) state->pressed = false;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      if (state) {
        const bool inside = CursorInside(window, lParam);
        if (inside != state->hot) {
          state->hot = inside;
          InvalidateRect(window, nullptr, FALSE);
        }
        if (inside && !state->pressed) {
          TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
          TrackMouseEvent(&track);
        }
      }
      return 0;
    case WM_MOUSELEAVE:
      if (state && !state->pressed) {
        state->hot = false;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (state) {
        state->pressed = true;
        state->hot = true;
        SetCapture(window);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (state && state->pressed) {
        const bool click = CursorInside(window, lParam);
        state->pressed = false;
        state->hot = click;
        ReleaseCapture();
        InvalidateRect(window, nullptr, FALSE);
        if (click && IsWindowEnabled(window))
          SendMessageA(GetParent(window), WM_COMMAND,
                       MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                       reinterpret_cast<LPARAM>(window));
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (state && state->pressed) {
        state->pressed = false;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterSpeedButtonClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = SpeedButtonProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kSpeedButtonClass;
  RegisterClassA(&wc);
  registered = true;
}

}  // namespace

HWND CreateSpeedButton(HWND parent, int id, const RECT& place, HIMAGELIST glyphs, int index,
                       int disabledIndex) {
  RegisterSpeedButtonClass();
  SpeedButtonState initial;
  initial.glyphs = glyphs;
  initial.index = index;
  initial.disabledIndex = disabledIndex;
  return CreateWindowExA(0, kSpeedButtonClass, "", WS_CHILD | WS_VISIBLE, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), &initial);
}

}  // namespace dova
