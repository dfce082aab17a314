// The views of the buttons: check boxes, radio buttons and the list page's glyph buttons.
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/main_form.h"
#include "app/win32/command_glyphs.h"
#include "app/win32/control_views.h"
#include "app/win32/view_speed_button.h"
#include "app/win32/window_interface_text.h"

namespace dova {

namespace {

void Clicked(ControlHost& host, const Control& model) {
  const std::string name = model.name;
  host.Dispatch([&] { host.Handlers().ControlClicked(name); });
}

}  // namespace

void CaptionedButtonView::SyncContent(ControlHost&, bool fresh) {
  const auto& button = static_cast<const CaptionControl&>(model_);
  if (fresh || button.caption != caption_) {
    SetWindowTextW(window_, InterfaceText(button.caption).c_str());
    caption_ = button.caption;
  }
  const bool checked = Checked();
  if (fresh || checked != checked_) {
    CheckShown(checked);
    checked_ = checked;
  }
}

RECT CaptionedButtonView::Place(ControlHost& host) const {
  RECT place = ControlView::Place(host);
  // The box, the gap and the caption: a translation longer than the design's caption must not
  // be cut off while the group has room for it.
  constexpr int kBoxAndGap = 20;
  const int needed = host.Scale(kBoxAndGap) + CaptionWidth(window_, InterfaceText(caption_));
  if (place.right - place.left < needed) {
    RECT parent{};
    GetClientRect(GetParent(window_), &parent);
    place.right =
        std::max(place.right, std::min(place.left + needed, parent.right - host.Scale(4)));
  }
  return place;
}

void CaptionedButtonView::CheckShown(bool checked) {
  SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND CheckBoxView::CreateWindowIn(ControlHost&, HWND parent, const RECT& place) {
  return MakeChild(0, WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, place, parent);
}

bool CheckBoxView::Checked() const { return static_cast<const CheckBox&>(model_).checked; }

void CheckBoxView::Command(ControlHost& host, int code, bool user) {
  if (ReportFocus(host, code, BN_SETFOCUS, BN_KILLFOCUS)) return;
  if (code != BN_CLICKED || !user) return;
  // The box checked itself; the model and what the view shows follow it.
  const bool checked = SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  static_cast<CheckBox&>(model_).checked = checked;
  CaptionedButtonView::SyncContent(host, false);
  Clicked(host, model_);
}

HWND RadioButtonView::CreateWindowIn(ControlHost&, HWND parent, const RECT& place) {
  return MakeChild(0, WC_BUTTONW, BS_RADIOBUTTON | BS_NOTIFY, place, parent);
}

bool RadioButtonView::Checked() const { return static_cast<const RadioButton&>(model_).checked; }

void RadioButtonView::CheckShown(bool checked) {
  CaptionedButtonView::CheckShown(checked);
  // Only the checked button of a group is a tab stop; the arrows move inside it.
  LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  style = checked ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(window_, GWL_STYLE, style);
}

void RadioButtonView::Command(ControlHost& host, int code, bool user) {
  if (ReportFocus(host, code, BN_SETFOCUS, BN_KILLFOCUS)) return;
  if (code != BN_CLICKED || !user) return;
  auto& radio = static_cast<RadioButton&>(model_);
  // A click on the checked button changes nothing and raises no event.
  if (radio.checked) {
    host.Resync();
    return;
  }
  host.Form().Check(radio);
  Clicked(host, model_);
}

HWND SpeedButtonView::CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) {
  const int glyph = std::max(GlyphOfButton(model_.name), 0);
  return CreateSpeedButton(parent, id_, place, host.Glyphs(), 2 * glyph, 2 * glyph + 1);
}

void SpeedButtonView::AttachTooltip(HWND tooltips) {
  const auto& button = static_cast<const SpeedButton&>(model_);
  showHint_ = button.showHint;
  if (!showHint_) return;
  std::wstring hint = InterfaceText(button.hint);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(window_);
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  tool.lpszText = hint.data();
  SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  hint_ = button.hint;
}

void SpeedButtonView::SyncContent(ControlHost& host, bool) {
  const auto& button = static_cast<const SpeedButton&>(model_);
  if (showHint_ && button.hint != hint_ && host.Tooltips()) {
    std::wstring hint = InterfaceText(button.hint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(window_);
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    tool.lpszText = hint.data();
    SendMessageW(host.Tooltips(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  hint_ = button.hint;
}

void SpeedButtonView::Command(ControlHost& host, int code, bool) {
  if (code == BN_CLICKED) Clicked(host, model_);
}

HWND ColorButtonView::CreateWindowIn(ControlHost&, HWND parent, const RECT& place) {
  return CreateSpeedButton(parent, id_, place, nullptr, 0, 0);
}

void ColorButtonView::SyncContent(ControlHost& host, bool fresh) {
  SpeedButtonView::SyncContent(host, fresh);
  const unsigned rgb = static_cast<const ColorButton&>(model_).color;
  SetSpeedButtonSwatch(window_, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

}  // namespace dova
