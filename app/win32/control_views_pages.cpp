// The views of the form's frame: the page control, its pages, group boxes, the banner and the
// status bar.
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include "app/main_form.h"
#include "app/win32/control_views.h"
#include "app/win32/view_banner.h"
#include "app/win32/view_panel.h"
#include "app/win32/window_interface_text.h"

namespace dova {

namespace {

void SetTabCaption(HWND tabs, int index, const std::string& caption, UINT message) {
  std::wstring text = InterfaceText(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(tabs, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

HWND PageControlView::CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) {
  HWND tabs = MakeChild(0, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, place, parent);
  if (!tabs) return nullptr;
  // The tabs' height follows the font, and the pages' area follows the tabs.
  SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(host.Font()), FALSE);
  FormModel& f = host.Form();
  for (TabSheet* sheet : {&f.TabSheet1, &f.TabSheet2, &f.TabSheet3, &f.TabSheet4})
    SetTabCaption(tabs, sheet->pageIndex, sheet->caption, TCM_INSERTITEMW);
  host.AdoptTabs(tabs);
  return tabs;
}

HWND TabSheetView::CreateWindowIn(ControlHost& host, HWND, const RECT&) {
  tabs_ = host.Tabs();
  // Pages lie on the form beside the tab control, which paints first and leaves them the area.
  HWND page = CreatePanel(host.FormWindow(), host.PageArea(), false);
  if (!page) return nullptr;
  ShowWindow(page, SW_HIDE);
  host.AdoptPage(static_cast<TabSheet&>(model_).pageIndex, page);
  return page;
}

void TabSheetView::SyncContent(ControlHost&, bool fresh) {
  const auto& sheet = static_cast<const TabSheet&>(model_);
  if (fresh || sheet.caption != caption_) {
    SetTabCaption(tabs_, sheet.pageIndex, sheet.caption, TCM_SETITEMW);
    caption_ = sheet.caption;
  }
  if (fresh || sheet.highlighted != highlighted_) {
    SendMessageW(tabs_, TCM_HIGHLIGHTITEM, static_cast<WPARAM>(sheet.pageIndex),
                 MAKELPARAM(sheet.highlighted, 0));
    highlighted_ = sheet.highlighted;
  }
}

HWND GroupBoxView::CreateWindowIn(ControlHost&, HWND parent, const RECT& place) {
  return CreatePanel(parent, place, true);
}

void GroupBoxView::SyncContent(ControlHost&, bool fresh) {
  const auto& group = static_cast<const CaptionControl&>(model_);
  if (fresh || group.caption != caption_) {
    SetPanelCaption(window_, InterfaceText(group.caption));
    caption_ = group.caption;
  }
}

HWND ImageView::CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) {
  return CreateBanner(parent, id_, place, host.Banner());
}

void ImageView::Command(ControlHost& host, int code, bool) {
  if (code != BN_CLICKED) return;
  const std::string name = model_.name;
  host.Dispatch([&] { host.Handlers().ControlClicked(name); });
}

HWND StatusBarView::CreateWindowIn(ControlHost& host, HWND parent, const RECT&) {
  HWND status = MakeChild(0, STATUSCLASSNAMEW, 0, RECT{}, parent);
  if (!status) return nullptr;
  SendMessageW(status, SB_SIMPLE, TRUE, 0);
  host.AdoptStatusBar(status);
  return status;
}

}  // namespace dova
