// Showing the form's model: the controls' views and what belongs to the form as a whole (caption,
// page, status text, tray, menu, grids' rows).
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include "app/win32/main_window.h"
#include "app/win32/main_window_internal.h"
#include "app/win32/view_channel_grid.h"
#include "app/win32/view_file_grid.h"
#include "app/win32/window_interface_text.h"

namespace dova {

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
  const std::wstring caption = InterfaceText(f.caption);
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
    if (item.separator) continue;
    const UINT id = kMenuIdBase + static_cast<UINT>(i);
    EnableMenuItem(menu_.Get(), id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    if (item.caption == shownMenu_[i]) continue;
    // Only the text changes; the default item keeps its bold face.
    std::wstring caption = InterfaceText(item.caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menu_.Get(), id, FALSE, &info);
    shownMenu_[i] = item.caption;
  }
  if (fileGrid_) fileGrid_->Sync();
  if (channelGrid_) channelGrid_->Sync();
}

void MainWindow::Sync() {
  if (!form_ || !window_) return;
  ++syncDepth_;
  for (auto& view : views_) view->Sync(*this);
  SyncForm();
  --syncDepth_;
}

void MainWindow::Repaint() {
  Sync();
  if (status_) UpdateWindow(status_);
}

}  // namespace dova
