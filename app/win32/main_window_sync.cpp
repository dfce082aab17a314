// Showing the form's model: every property a handler may have changed is compared with what
// the control shows and pushed only when it differs.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_window.h"
#include "app/win32/main_window_internal.h"
#include "app/win32/view_panel.h"
#include "app/win32/window_interface_text.h"

namespace dova {

namespace {

constexpr int kComboDropHeight = 200;

std::wstring Utf8ToWide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      length);
  return wide;
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

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void MainWindow::SyncControl(ControlView& view) {
  Control& c = *view.model;
  HWND w = view.window;
  const bool fresh = view.fresh;
  view.fresh = false;

  switch (c.kind) {
    case ControlKind::kTabSheet: {
      auto& sheet = static_cast<TabSheet&>(c);
      if (fresh || sheet.caption != view.caption) {
        std::wstring caption = InterfaceText(sheet.caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs_, TCM_SETITEMW, sheet.pageIndex, reinterpret_cast<LPARAM>(&item));
        view.caption = sheet.caption;
      }
      if (fresh || sheet.highlighted != view.highlighted) {
        SendMessageA(tabs_, TCM_HIGHLIGHTITEM, sheet.pageIndex, MAKELPARAM(sheet.highlighted, 0));
        view.highlighted = sheet.highlighted;
      }
      return;  // a page's place and state follow the page control
    }
    case ControlKind::kGroupBox: {
      auto& group = static_cast<CaptionControl&>(c);
      if (fresh || group.caption != view.caption) {
        SetPanelCaption(w, InterfaceText(group.caption));
        view.caption = group.caption;
      }
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton: {
      auto& button = static_cast<CaptionControl&>(c);
      if (fresh || button.caption != view.caption) {
        SetWindowTextW(w, InterfaceText(button.caption).c_str());
        view.caption = button.caption;
      }
      const bool checked = c.kind == ControlKind::kCheckBox
                               ? static_cast<CheckBox&>(c).checked
                               : static_cast<RadioButton&>(c).checked;
      if (fresh || checked != view.checked) {
        SendMessageA(w, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (c.kind == ControlKind::kRadioButton) {
          // Only the checked button of a group is a tab stop; the arrows move inside it.
          LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
          style = checked ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
          SetWindowLongPtrA(w, GWL_STYLE, style);
        }
        view.checked = checked;
      }
      break;
    }
    case ControlKind::kComboBox: {
      auto& combo = static_cast<ComboBox&>(c);
      if (fresh || combo.items != view.items) {
        SendMessageW(w, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : combo.items)
          SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(InterfaceText(item).c_str()));
        view.items = combo.items;
        view.itemIndex = -2;
      }
      if (combo.itemIndex != view.itemIndex) {
        SendMessageA(w, CB_SETCURSEL, static_cast<WPARAM>(combo.itemIndex), 0);
        view.itemIndex = combo.itemIndex;
      }
      break;
    }
    case ControlKind::kEdit: {
      auto& edit = static_cast<Edit&>(c);
      if (fresh || edit.text != view.text) {
        SetWindowTextW(w, UserDataText(edit.text).c_str());
        view.text = edit.text;
      }
      break;
    }
    case ControlKind::kLabel: {
      auto& label = static_cast<CaptionControl&>(c);
      if (fresh || label.caption != view.caption) {
        SetWindowTextW(w, InterfaceText(label.caption).c_str());
        view.caption = label.caption;
        view.place = RECT{};  // the width follows the text
      }
      break;
    }
    case ControlKind::kSpeedButton: {
      auto& button = static_cast<SpeedButton&>(c);
      if (view.showHint && button.hint != view.hint && tooltips_) {
        std::wstring hint = InterfaceText(button.hint);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = GetParent(w);
        tool.uId = reinterpret_cast<UINT_PTR>(w);
        tool.lpszText = hint.data();
        SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
      }
      view.hint = button.hint;
      break;
    }
    default:
      break;
  }

  if (c.kind != ControlKind::kGroupBox && c.kind != ControlKind::kPageControl &&
      (fresh || c.enabled != view.enabled)) {
    EnableWindow(w, c.enabled);
    view.enabled = c.enabled;
  }
  if (c.kind != ControlKind::kStatusBar && (fresh || c.visible != view.visible)) {
    ShowWindow(w, c.visible ? SW_SHOWNA : SW_HIDE);
    view.visible = c.visible;
  }

  // The place in the parent; labels are as wide as their text, lists as high as their drop.
  RECT place{c.left, c.top, c.left + c.width, c.top + c.height};
  if (c.kind == ControlKind::kLabel)
    place.right = c.left + CaptionWidth(w, InterfaceText(static_cast<CaptionControl&>(c).caption));
  if (c.kind == ControlKind::kComboBox) place.bottom += kComboDropHeight;
  if (c.kind != ControlKind::kStatusBar && !SameRect(place, view.place)) {
    if (!fresh || c.kind == ControlKind::kLabel)
      MoveWindow(w, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 TRUE);
    view.place = place;
  }
}

void MainWindow::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return;
  if (SendMessageA(tabs_, TCM_GETCURSEL, 0, 0) != index)
    SendMessageA(tabs_, TCM_SETCURSEL, index, 0);
  HWND focus = GetFocus();
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) {
    if (i == index) continue;
    // Keys must not go on reaching a control on a hidden page.
    if (focus && (focus == pages_[i] || IsChild(pages_[i], focus))) SetFocus(tabs_);
    ShowWindow(pages_[i], SW_HIDE);
  }
  ShowWindow(pages_[index], SW_SHOWNA);
  shownPage_ = index;
}

void MainWindow::SyncForm() {
  FormModel& f = form_->Form();
  const std::wstring caption = Utf8ToWide(f.caption);
  if (caption != shownCaption_) {
    SetWindowTextW(window_, caption.c_str());
    shownCaption_ = caption;
  }
  if (f.activePage != shownPage_) ShowPage(f.activePage);
  if (f.statusText != shownStatus_ && status_) {
    SendMessageW(status_, SB_SETTEXTW, SB_SIMPLEID,
                 reinterpret_cast<LPARAM>(InterfaceText(f.statusText).c_str()));
    shownStatus_ = f.statusText;
  }
  if (tray_) {
    if (f.trayIconIndex != tray_->IconIndex()) tray_->SetIconIndex(f.trayIconIndex);
    if (f.trayHint != tray_->Hint()) tray_->SetHint(f.trayHint);
  }
  for (std::size_t i = 0; i < f.PopupMenu.size() && i < shownMenu_.size(); ++i) {
    const MenuItem& item = f.PopupMenu[i];
    if (item.separator || item.caption == shownMenu_[i]) continue;
    // Only the text changes; the default item keeps its bold face.
    std::wstring caption = InterfaceText(item.caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menu_.Get(), kMenuIdBase + static_cast<UINT>(i), FALSE, &info);
    shownMenu_[i] = item.caption;
  }
  if (fileGrid_) fileGrid_->Sync();
  if (channelGrid_) channelGrid_->Sync();
}

void MainWindow::Sync() {
  if (!form_ || !window_) return;
  ++syncDepth_;
  for (auto& view : views_) SyncControl(*view);
  SyncForm();
  --syncDepth_;
}

void MainWindow::Repaint() {
  Sync();
  if (status_) UpdateWindow(status_);
}

}  // namespace dova
