#include "app/win32/view_speed_button.h"

#include <algorithm>

#include "app/win32/window_class.h"

namespace dova {

namespace {

constexpr wchar_t kSpeedButtonClass[] = L"DovaSpeedButton";

struct SpeedButtonState {
  HIMAGELIST glyphs = nullptr;
  int index = 0;          // the glyph
  int disabledIndex = 0;  // its greyed form
  bool hot = false;       // the mouse is over the button
  bool pressed = false;   // the left button went down on it and is still held
  bool swatch = false;    // shows `color` instead of a glyph
  COLORREF color = 0;
};

SpeedButtonState* StateOf(HWND window) {
  return reinterpret_cast<SpeedButtonState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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
  if (state.swatch) {
    // A patch inset by a quarter of the button's height, framed in the shadow colour.
    RECT patch = client;
    const int inset = std::max<int>(2, (client.bottom - client.top) / 4);
    InflateRect(&patch, -inset, -inset);
    if (down) OffsetRect(&patch, 1, 1);
    FrameRect(dc, &patch, GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    InflateRect(&patch, -1, -1);
    if (enabled) {
      HBRUSH brush = CreateSolidBrush(state.color);
      FillRect(dc, &patch, brush);
      DeleteObject(brush);
    }
  } else if (state.glyphs && ImageList_GetIconSize(state.glyphs, &cx, &cy)) {
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
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(new SpeedButtonState(*initial)));
      break;
    }
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
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
          SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
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
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterSpeedButtonClass() {
  WindowClass button{kSpeedButtonClass, SpeedButtonProc, CS_DBLCLKS,
                     LoadCursor(nullptr, IDC_ARROW)};
  RegisterWindowClass(button);
}

}  // namespace

HWND CreateSpeedButton(HWND parent, int id, const RECT& place, HIMAGELIST glyphs, int index,
                       int disabledIndex) {
  RegisterSpeedButtonClass();
  SpeedButtonState initial;
  initial.glyphs = glyphs;
  initial.index = index;
  initial.disabledIndex = disabledIndex;
  return CreateWindowExW(0, kSpeedButtonClass, L"", WS_CHILD | WS_VISIBLE, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), &initial);
}

void SetSpeedButtonSwatch(HWND button, COLORREF color) {
  SpeedButtonState* state = StateOf(button);
  if (!state || (state->swatch && state->color == color)) return;
  state->swatch = true;
  state->color = color;
  InvalidateRect(button, nullptr, FALSE);
}

}  // namespace dova
