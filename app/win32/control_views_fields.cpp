// The views of the fields: drop-down lists, edit fields and labels.
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include "app/main_form.h"
#include "app/win32/control_views.h"
#include "app/win32/window_interface_text.h"

namespace dova {

namespace {

constexpr int kComboDropHeight = 200;

}  // namespace

HWND ComboBoxView::CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) {
  HWND combo = MakeChild(
      0, WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
      RECT{place.left, place.top, place.right, place.bottom + host.Scale(kComboDropHeight)},
      parent);
  if (combo) SendMessageW(combo, CB_SETMINVISIBLE, 12, 0);
  return combo;
}

void ComboBoxView::SyncContent(ControlHost&, bool fresh) {
  const auto& combo = static_cast<const ComboBox&>(model_);
  if (fresh || combo.items != items_) {
    SendMessageW(window_, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : combo.items)
      SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(InterfaceText(item).c_str()));
    items_ = combo.items;
    itemIndex_ = -2;  // nothing selected in the new items yet
  }
  if (combo.itemIndex != itemIndex_) {
    SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo.itemIndex), 0);
    itemIndex_ = combo.itemIndex;
  }
}

RECT ComboBoxView::Place(ControlHost& host) const {
  RECT place = ControlView::Place(host);
  place.bottom += host.Scale(kComboDropHeight);
  return place;
}

void ComboBoxView::Command(ControlHost& host, int code, bool user) {
  if (ReportFocus(host, code, CBN_SETFOCUS, CBN_KILLFOCUS)) return;
  if (code != CBN_SELCHANGE || !user) return;
  const int index = static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
  static_cast<ComboBox&>(model_).itemIndex = itemIndex_ = index;
  const std::string name = model_.name;
  host.Dispatch([&] { host.Handlers().ComboBoxChanged(name); });
}

HWND EditView::CreateWindowIn(ControlHost&, HWND parent, const RECT& place) {
  const bool password = static_cast<const Edit&>(model_).password;
  // A Unicode edit keeps whatever the user types, also outside the system's code page.
  HWND edit = MakeChild(WS_EX_CLIENTEDGE, WC_EDITW,
                        WS_TABSTOP | ES_AUTOHSCROLL | (password ? ES_PASSWORD : 0), place, parent);
  if (edit && password) SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
  return edit;
}

void EditView::SyncContent(ControlHost&, bool fresh) {
  const auto& edit = static_cast<const Edit&>(model_);
  if (fresh || edit.text != text_) {
    SetWindowTextW(window_, UserDataText(edit.text).c_str());
    text_ = edit.text;
  }
}

void EditView::Command(ControlHost& host, int code, bool user) {
  if (ReportFocus(host, code, EN_SETFOCUS, EN_KILLFOCUS)) return;
  if (code == EN_CHANGE && user)
    static_cast<Edit&>(model_).text = text_ = UserDataBytes(WindowTextOf(window_));
}

HWND LabelView::CreateWindowIn(ControlHost&, HWND parent, const RECT& place) {
  return MakeChild(0, WC_STATICW, SS_LEFT | SS_NOPREFIX, place, parent);
}

void LabelView::SyncContent(ControlHost&, bool fresh) {
  const auto& label = static_cast<const CaptionControl&>(model_);
  if (fresh || label.caption != caption_) {
    SetWindowTextW(window_, InterfaceText(label.caption).c_str());
    caption_ = label.caption;
  }
}

RECT LabelView::Place(ControlHost& host) const {
  RECT place = ControlView::Place(host);
  place.right = place.left + CaptionWidth(window_, InterfaceText(caption_));
  return place;
}

}  // namespace dova
