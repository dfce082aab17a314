#include "app/win32/main_window.h"

#include <commctrl.h>

#include <exception>

#include "app/win32/dpi.h"
#include "app/win32/main_window_internal.h"
#include "app/win32/window_class.h"
#include "app/win32/window_interface_text.h"
#include "app/win32/window_services.h"
#include "app/win32/window_single_instance.h"
#include "platform/error.h"

namespace dova {

MainWindow::MainWindow(Win32HelpViewer& help) : help_(help) {}

MainWindow::~MainWindow() {
  // The tray icon goes before the window its menu and hook belong to.
  tray_.reset();
  networkWatch_.reset();
  fileGrid_ = nullptr;
  channelGrid_ = nullptr;
  views_.clear();
  if (window_) {
    KillTimer(window_, kTimerId);
    KillTimer(window_, kScreensTimerId);
    RemovePropA(window_, kMainWindowProperty);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

}  // namespace

void MainWindow::Create(TForm1& form) {
  form_ = &form;
  FormModel& f = form.Form();
  dpi_ = SystemDpi();
  LoadPictures();
  WindowClass windowClass{L"TForm1", WindowProc};
  windowClass.cursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.icon = appIcon_.Get();
  windowClass.smallIcon = appIconSmall_.Get();
  RegisterWindowClass(windowClass);
  // A Unicode window, as are the controls that show texts, so that the caption's Cyrillic
  // letter and a Russian interface read right whatever the system's code page.
  // The designed client area at the primary monitor's DPI; the place too, so that the window
  // stands where it stands at 96 DPI, but whole on the screen.
  RECT frame =
      FrameAround(RECT{0, 0, ScaleToDpi(f.clientWidth, dpi_), ScaleToDpi(f.clientHeight, dpi_)},
                  kFormStyle, kFormExStyle, dpi_);
  OffsetRect(&frame, ScaleToDpi(f.left, dpi_) - frame.left, ScaleToDpi(f.top, dpi_) - frame.top);
  frame = KeptOnScreen(frame);
  window_ = CreateWindowExW(kFormExStyle, L"TForm1", L"", kFormStyle | WS_CLIPCHILDREN, frame.left,
                            frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), this);
  if (!window_) throw Error("Cannot create the main window");
  // The window may stand on a monitor of another DPI than the primary one.
  if (DpiOfWindow(window_) != dpi_) ApplyDpi(DpiOfWindow(window_), nullptr);
  SetPropA(window_, kMainWindowProperty, reinterpret_cast<HANDLE>(1));
  openRequest_ = RegisterWindowMessageA(kOpenRequestMessage);
  // The running copy answers a second copy's request, even when it runs elevated.
  ChangeWindowMessageFilterEx(window_, openRequest_, MSGFLT_ALLOW, nullptr);
  font_.Reset(CreateWindowFont(dpi_));

  CreateControls();
  CreateMenu();
  CreateTooltips();
  SetTimer(window_, kTimerId, static_cast<UINT>(f.timerInterval), nullptr);
  networkWatch_ = std::make_unique<NetworkChangeWatch>(window_, kNetworkMessage);
  Sync();
  CreateTray();
}

void MainWindow::Show() {
  if (!window_) return;
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  UpdateWindow(window_);
}

void MainWindow::Detach() {
  shuttingDown_ = true;
  form_ = nullptr;
}

void MainWindow::OpenMainWindow() {
  if (!window_) return;
  if (!IsWindowVisible(window_)) ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
      IsWindowVisible(lastFocus_))
    SetFocus(lastFocus_);
  else
    SetFocus(tabs_);
  SetForegroundWindow(window_);
}

HWND MainWindow::ControlWindow(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second->Window();
}

const ControlView* MainWindow::ViewOfWindow(HWND window) const {
  for (HWND w = window; w && w != window_; w = GetParent(w)) {
    const auto found = byWindow_.find(w);
    if (found != byWindow_.end()) return found->second;
  }
  return nullptr;
}

std::string MainWindow::NameOfFocus() const {
  const ControlView* view = ViewOfWindow(GetFocus());
  return view ? view->Model().name : std::string();
}

void MainWindow::ReadPendingState() {
  if (!form_) return;
  if (fileGrid_) {
    if (fileGrid_->ReadSelection()) selectionUnreported_ = true;
    fileGrid_->ReadScroll();
  }
}

void MainWindow::Dispatch(const std::function<void()>& handler) {
  if (!form_ || shuttingDown_) return;
  ReadPendingState();
  ++handlerDepth_;
  try {
    handler();
  } catch (const std::exception& error) {
    // TForm1's handlers report their own errors; this is the last line.
    MessageBoxW(window_, InterfaceText(error.what()).c_str(),
                InterfaceText(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
  }
  --handlerDepth_;
  Sync();
}

void MainWindow::FocusChanged(HWND control, bool entered) {
  const ControlView* view = ViewOfWindow(control);
  if (!view) return;
  const std::string name = view->Model().name;
  if (entered) lastFocus_ = control;
  Dispatch([&] {
    if (entered)
      form_->ControlEntered(name);
    else
      form_->ControlExited(name);
  });
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0) {
    // The popup menu (accelerators are not used).
    const int item = id - kMenuIdBase;
    if (code == 0 && item >= 0 && item < static_cast<int>(menuNames_.size())) {
      const std::string name = menuNames_[item];
      Dispatch([&] { form_->MenuCommand(name); });
    }
    return;
  }
  const auto found = byWindow_.find(reinterpret_cast<HWND>(lParam));
  if (found == byWindow_.end() || !form_) return;
  found->second->Command(*this, code, syncDepth_ == 0);
}

bool MainWindow::OnNotify(const NMHDR& header, LRESULT& result) {
  if (!form_) return false;
  if (fileGrid_ && header.hwndFrom == fileGrid_->Handle()) {
    if (header.code == NM_SETFOCUS || header.code == NM_KILLFOCUS) {
      FocusChanged(header.hwndFrom, header.code == NM_SETFOCUS);
      return false;
    }
    return fileGrid_->OnNotify(header, result);
  }
  if (header.hwndFrom == tabs_) {
    if (header.code == TCN_SELCHANGE && syncDepth_ == 0) {
      const int page = static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0));
      form_->Form().activePage = page;
      ShowPage(page);
      Dispatch([] {});
    } else if (header.code == NM_SETFOCUS || header.code == NM_KILLFOCUS) {
      FocusChanged(tabs_, header.code == NM_SETFOCUS);
    }
    return false;
  }
  return false;
}

void MainWindow::OnActivate(WPARAM wParam) {
  // As a dialog does: the control that had the focus gets it back when the window is
  // activated again.
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) lastFocus_ = focus;
  } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) &&
             IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
  } else if (tabs_) {
    SetFocus(tabs_);
  }
}

void MainWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
  dpi_ = dpi;
  const FormModel* f = form_ ? &form_->Form() : nullptr;
  RECT frame{};
  if (suggested) {
    frame = *suggested;
  } else if (f) {
    RECT now{};
    GetWindowRect(window_, &now);
    frame =
        FrameAround(RECT{0, 0, ScaleToDpi(f->clientWidth, dpi), ScaleToDpi(f->clientHeight, dpi)},
                    kFormStyle, kFormExStyle, dpi);
    OffsetRect(&frame, now.left - frame.left, now.top - frame.top);
    frame = KeptOnScreen(frame);
  }
  SetWindowPos(window_, nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LoadScaledImages();
  if (views_.empty()) return;  // made before the controls: they are made at this DPI

  font_.Reset(CreateWindowFont(dpi));
  for (auto& view : views_) view->Rescale(*this);
  // The pages follow the tab strip, which has its new place and font after a Sync.
  Sync();
  const RECT pages = PageArea();
  for (HWND page : pages_)
    if (page)
      MoveWindow(page, pages.left, pages.top, pages.right - pages.left, pages.bottom - pages.top,
                 TRUE);
  if (status_) SendMessageW(status_, WM_SIZE, 0, 0);
  InvalidateRect(window_, nullptr, TRUE);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_NOTIFYFORMAT:
      return NFR_ANSI;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (channelGrid_ && item.hwndItem == channelGrid_->Handle()) {
        channelGrid_->Draw(item);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORLISTBOX:
      if (channelGrid_ && reinterpret_cast<HWND>(lParam) == channelGrid_->Handle()) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_MENU));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) {
        Dispatch([this] { form_->Timer1Timer(); });
        return 0;
      }
      if (wParam == kScreensTimerId) {
        KillTimer(window_, kScreensTimerId);
        Dispatch([this] { form_->ScreensChanged(); });
        return 0;
      }
      break;
    case WM_DISPLAYCHANGE:
      // Restarted by each notice: the relayout waits until the screens have settled.
      SetTimer(window_, kScreensTimerId, kScreensSettleMs, nullptr);
      break;
    case WM_POWERBROADCAST:
      // Both come after a sleep (the second when a user is there); the second finds nothing
      // left to make up for.
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
        Dispatch([this] { form_->Resumed(); });
      return TRUE;
    case kNetworkMessage:
      Dispatch([this] { form_->NetworkChanged(); });
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      return 0;
    case WM_CLOSE:
      // The close box quits the program; there is no close-to-tray.
      Dispatch([this] { form_->FormClose(); });
      Terminate();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && onEndSession) onEndSession();
      return 0;
    case kSelectionMessage:
      ReadPendingState();
      if (selectionUnreported_) {
        selectionUnreported_ = false;
        Dispatch([this] { form_->FileGridSelectionChanged(); });
      } else {
        Sync();
      }
      return 0;
    default:
      if (message == openRequest_ && openRequest_ != 0) {
        Dispatch([this] { form_->MenuCommand("N3"); });
        return 0;
      }
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<MainWindow*>(created->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && self->window_ == window) return self->HandleMessage(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace dova
