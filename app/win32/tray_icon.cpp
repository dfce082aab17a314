#include "app/win32/tray_icon.h"

#include "app/win32/window_class.h"
#include "platform/error.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

constexpr wchar_t kTrayWindowClass[] = L"TTrayIcon";
constexpr UINT kCallbackMessage = WM_USER + 1;
constexpr UINT_PTR kHookId = 0x7459;  // "tY"
// At log-on the shell may come up after the program: adding the icon is tried this often,
// this many milliseconds apart.
constexpr int kAddAttempts = 10;
constexpr DWORD kAddRetryMs = 500;

// Waits `milliseconds` while answering messages that other programs send to this thread (the
// shell's broadcasts), without dispatching posted input or timer messages to the window.
void WaitAnsweringSentMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD passed = GetTickCount() - start;
    if (passed >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_SENDMESSAGE);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

TrayShiftState KeysHeld() {
  TrayShiftState state;
  state.shift = GetKeyState(VK_SHIFT) < 0;
  state.ctrl = GetKeyState(VK_CONTROL) < 0;
  state.alt = GetKeyState(VK_MENU) < 0;
  return state;
}

}  // namespace

TTrayIcon::TTrayIcon(HICON applicationIcon) {
  RegisterWindowClass(WindowClass{kTrayWindowClass, WindowProc});
  // A hidden top-level window rather than a message-only one: only top-level windows get the
  // "TaskbarCreated" broadcast and the end-of-session queries.
  window_ = CreateWindowExW(0, kTrayWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleA(nullptr), this);
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  // An elevated process would not receive the broadcast from the unelevated shell otherwise.
  if (window_) ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);

  if (applicationIcon) icon_.Reset(CopyIcon(applicationIcon));
  static UINT nextId = 1;
  data_.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data_.hWnd = window_;
  data_.uID = nextId++;
  data_.uFlags = NIF_MESSAGE | NIF_ICON;
  data_.uCallbackMessage = kCallbackMessage;
  data_.hIcon = icon_.Get();
}

TTrayIcon::~TTrayIcon() {
  if (visible_) Shell_NotifyIconW(NIM_DELETE, &data_);
  Hook(false);
  if (window_) DestroyWindow(window_);
}

bool TTrayIcon::AddIcon() {
  data_.hIcon = icon_.Get();
  for (int attempt = 0; attempt < kAddAttempts; ++attempt) {
    if (attempt > 0) WaitAnsweringSentMessages(kAddRetryMs);
    if (Shell_NotifyIconW(NIM_ADD, &data_)) return true;
  }
  return false;
}

void TTrayIcon::SetVisible(bool value) {
  if (value == visible_) return;
  if (value) {
    if (!AddIcon()) throw Error("Cannot Create System Shell Notification Icon");
    visible_ = true;
    Hook(true);
  } else {
    if (!Shell_NotifyIconW(NIM_DELETE, &data_))
      throw Error("Cannot Remove System Shell Notification Icon");
    visible_ = false;
    Hook(false);
  }
}

void TTrayIcon::SetHint(const std::string& text) {
  const std::wstring tip = Wide(text);
  if (text == hint_ || tip.size() >= 64) return;
  hint_ = text;
  lstrcpynW(data_.szTip, tip.c_str(), sizeof data_.szTip / sizeof data_.szTip[0]);
  if (text.empty())
    data_.uFlags &= ~NIF_TIP;
  else
    data_.uFlags |= NIF_TIP;
  Update();
}

void TTrayIcon::SetPopupMenu(HMENU menu, HWND owner) {
  popupMenu_ = menu;
  menuOwner_ = owner;
}

void TTrayIcon::SetIcons(HIMAGELIST icons) {
  icons_ = icons;
  SetIconIndex(iconIndex_);
}

void TTrayIcon::SetIconIndex(int index) {
  iconIndex_ = index;
  if (icons_) {
    if (HICON icon = ImageList_GetIcon(icons_, index, ILD_NORMAL)) icon_.Reset(icon);
  }
  Update();
}

void TTrayIcon::SetApplicationWindow(HWND window) {
  Hook(false);
  application_ = window;
  if (visible_) Hook(true);
}

void TTrayIcon::Update() {
  data_.hIcon = icon_.Get();
  if (visible_) Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TTrayIcon::ShowMenu() {
  if (!popupMenu_) return;
  POINT cursor;
  GetCursorPos(&cursor);
  HWND owner = menuOwner_ ? menuOwner_ : window_;
  // The owner must be in the foreground, or the menu would not close when the user clicks
  // elsewhere; the message posted afterwards lets the menu close properly the next time.
  SetForegroundWindow(owner);
  TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner,
                 nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
}

void TTrayIcon::Minimize() {
  if (application_) {
    ShowWindow(application_, SW_MINIMIZE);
    // Hidden, the window has no taskbar button: only the tray icon remains.
    ShowWindow(application_, SW_HIDE);
  }
  if (OnMinimize) OnMinimize();
}

void TTrayIcon::Restore() {
  if (application_) {
    ShowWindow(application_, SW_RESTORE);
    SetForegroundWindow(application_);
  }
  if (OnRestore) OnRestore();
}

void TTrayIcon::EndSession() {
  if (visible_) Shell_NotifyIconW(NIM_DELETE, &data_);
  visible_ = false;
}

void TTrayIcon::Hook(bool on) {
  if (on == hooked_ || !application_) return;
  if (on) {
    hooked_ = SetWindowSubclass(application_, ApplicationHookProc, kHookId,
                                reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  } else {
    if (IsWindow(application_)) RemoveWindowSubclass(application_, ApplicationHookProc, kHookId);
    hooked_ = false;
  }
}

LRESULT CALLBACK TTrayIcon::ApplicationHookProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  if (message == WM_SYSCOMMAND) {
    auto* tray = reinterpret_cast<TTrayIcon*>(self);
    // The system's own minimize would show the window again as a taskbar button, so the
    // command ends here.
    switch (wParam & 0xFFF0) {
      case SC_MINIMIZE:
        tray->Minimize();
        return 0;
      case SC_RESTORE:
        if (!IsWindowVisible(window)) {
          tray->Restore();
          return 0;
        }
        break;
      default:
        break;
    }
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void TTrayIcon::DoMouseUp(TrayButton button, TTrayIconMessage action) {
  POINT cursor;
  GetCursorPos(&cursor);
  if (OnMouseUp) OnMouseUp(button, KeysHeld(), cursor);
  if (action == imNone) return;
  if (restoreOn_ == action) Restore();
  if (popupMenuOn_ == action) ShowMenu();
}

LRESULT TTrayIcon::DoMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_QUERYENDSESSION) return 1;
  if (message == WM_ENDSESSION) {
    if (wParam) EndSession();
    return 0;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // Explorer restarted and forgot every icon.
    if (visible_) Shell_NotifyIconW(NIM_ADD, &data_);
    return 0;
  }
  if (message == kCallbackMessage) {
    switch (LOWORD(lParam)) {
      case WM_LBUTTONUP:
        DoMouseUp(TrayButton::Left, imLeftClickUp);
        break;
      case WM_RBUTTONUP:
        DoMouseUp(TrayButton::Right, imRightClickUp);
        break;
      case WM_MBUTTONUP:
        DoMouseUp(TrayButton::Middle, imNone);
        break;
      default:
        break;
    }
    return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK TTrayIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
  }
  auto* tray = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (tray && tray->window_ == window) return tray->DoMessage(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace dova
