#include "app/win32/control_view.h"

#include "app/win32/control_views.h"
#include "platform/error.h"

namespace dova {

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void ControlView::Create(ControlHost& host, HWND parent) {
  window_ = CreateWindowIn(host, parent, ControlView::Place(host));
  if (!window_) throw Error("Cannot create the control " + model_.name);
}

void ControlView::Sync(ControlHost& host) {
  const bool fresh = fresh_;
  fresh_ = false;
  SyncContent(host, fresh);
  const Control& c = model_;
  if (FollowsEnabled() && (fresh || c.enabled != enabled_)) {
    EnableWindow(window_, c.enabled);
    enabled_ = c.enabled;
  }
  if (!FollowsVisibleAndPlace()) return;
  if (fresh || c.visible != visible_) {
    ShowWindow(window_, c.visible ? SW_SHOWNA : SW_HIDE);
    visible_ = c.visible;
  }
  const RECT place = Place(host);
  if (!SameRect(place, place_)) {
    if (!fresh || MovesOnFirstSync())
      MoveWindow(window_, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 TRUE);
    place_ = place;
  }
}

void ControlView::Command(ControlHost&, int, bool) {}

RECT ControlView::Place(ControlHost& host) const {
  const Control& c = model_;
  return ScaleToDpi(RECT{c.left, c.top, c.left + c.width, c.top + c.height}, host.Dpi());
}

void ControlView::Rescale(ControlHost& host) {
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(host.Font()), TRUE);
  place_ = RECT{};
}

bool ControlView::ReportFocus(ControlHost& host, int code, int setFocus, int killFocus) {
  if (code != setFocus && code != killFocus) return false;
  host.FocusChanged(window_, code == setFocus);
  return true;
}

HWND ControlView::MakeChild(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& place,
                            HWND parent) const {
  return CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, place.left,
                         place.top, place.right - place.left, place.bottom - place.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                         GetModuleHandleW(nullptr), nullptr);
}

int CaptionWidth(HWND window, const std::wstring& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

std::unique_ptr<ControlView> MakeControlView(Control& model, int id) {
  switch (model.kind) {
    case ControlKind::kPageControl:
      return std::make_unique<PageControlView>(model, id);
    case ControlKind::kTabSheet:
      return std::make_unique<TabSheetView>(model, id);
    case ControlKind::kGroupBox:
      return std::make_unique<GroupBoxView>(model, id);
    case ControlKind::kCheckBox:
      return std::make_unique<CheckBoxView>(model, id);
    case ControlKind::kRadioButton:
      return std::make_unique<RadioButtonView>(model, id);
    case ControlKind::kComboBox:
      return std::make_unique<ComboBoxView>(model, id);
    case ControlKind::kEdit:
      return std::make_unique<EditView>(model, id);
    case ControlKind::kLabel:
      return std::make_unique<LabelView>(model, id);
    case ControlKind::kSpeedButton:
      return std::make_unique<SpeedButtonView>(model, id);
    case ControlKind::kColorButton:
      return std::make_unique<ColorButtonView>(model, id);
    case ControlKind::kFileGrid:
      return std::make_unique<FileGridControlView>(model, id);
    case ControlKind::kChannelGrid:
      return std::make_unique<ChannelGridControlView>(model, id);
    case ControlKind::kImage:
      return std::make_unique<ImageView>(model, id);
    case ControlKind::kStatusBar:
      return std::make_unique<StatusBarView>(model, id);
  }
  throw Error("The design has a control of an unknown kind: " + model.name);
}

}  // namespace dova
