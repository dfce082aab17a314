#include "app/win32/view_channel_grid.h"

#include <algorithm>

#include "app/win32/dpi.h"
#include "form/channel_grid.h"
#include "platform/win32/wide_text.h"

namespace dova {

ChannelGridView::ChannelGridView(HWND parent, int id, const RECT& place, UINT dpi,
                                 AppContext& context, HIMAGELIST marks)
    : context_(context), marks_(marks) {
  list_ = CreateWindowExA(0, "LISTBOX", "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                              LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT,
                          place.left, place.top, place.right - place.left, place.bottom - place.top,
                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleA(nullptr), nullptr);
  SetDpi(dpi);
  SetWindowSubclass(list_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
  Sync();
}

void ChannelGridView::SetDpi(UINT dpi) {
  dpi_ = dpi;
  SendMessageA(list_, LB_SETITEMHEIGHT, 0, ScaleToDpi(context_.form.StringGrid1.rowHeight, dpi));
  InvalidateRect(list_, nullptr, TRUE);
}

ChannelGridView::~ChannelGridView() {
  if (IsWindow(list_)) RemoveWindowSubclass(list_, SubclassProc, 1);
}

// A click on the row that is selected already changes no selection, so the list box sends no
// notice; the grid's click still makes that row's channel current.
LRESULT CALLBACK ChannelGridView::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* view = reinterpret_cast<ChannelGridView*>(self);
  if (message == WM_LBUTTONDOWN) view->selChangeSinceMouseDown_ = false;
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (message == WM_LBUTTONUP && !view->selChangeSinceMouseDown_) {
    view->selChangeSinceMouseDown_ = true;
    view->Click();
  }
  return result;
}

void ChannelGridView::Click() {
  const int row = static_cast<int>(SendMessageA(list_, LB_GETCURSEL, 0, 0));
  if (row < 0) return;
  context_.form.StringGrid1.row = row;
  shownRow_ = row;
  if (onClick) onClick(row);
}

void ChannelGridView::OnCommand(int code) {
  if (code == LBN_SELCHANGE) {
    selChangeSinceMouseDown_ = true;
    Click();
  } else if (code == LBN_DBLCLK) {
    const int row = static_cast<int>(SendMessageA(list_, LB_GETCURSEL, 0, 0));
    if (row >= 0 && onDblClick) onDblClick(row);
  }
}

HBITMAP ChannelGridView::Logo(int index) {
  const std::string path = ChannelLogoPath(context_, index);
  if (path.empty()) return nullptr;
  auto found = logos_.find(path);
  if (found == logos_.end()) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    found = logos_.emplace(path, UniqueBitmap(bitmap)).first;
  }
  return found->second.Get();
}

void ChannelGridView::Draw(const DRAWITEMSTRUCT& item) {
  const int row = static_cast<int>(item.itemID);
  HDC dc = item.hDC;
  RECT cell = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &cell, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  const auto& channels = context_.channels.Channels();
  if (row >= 0 && row < static_cast<int>(channels.size())) {
    BITMAP info{};
    if (HBITMAP logo = Logo(row); logo && GetObjectA(logo, sizeof info, &info)) {
      MemoryDc source;
      SelectInDc select(source.Get(), logo);
      // The logo at the row's scale, cut to the cell like the design's 96 DPI row.
      const int width = std::min<int>(ScaleToDpi(info.bmWidth, dpi_), cell.right - cell.left);
      const int height = std::min<int>(ScaleToDpi(info.bmHeight, dpi_), cell.bottom - cell.top);
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, cell.left, cell.top, width, height, source.Get(), 0, 0,
                 MulDiv(width, kDesignDpi, static_cast<int>(dpi_)),
                 MulDiv(height, kDesignDpi, static_cast<int>(dpi_)), SRCCOPY);
    }
    if (marks_)
      ImageList_DrawEx(marks_, channels[row].Enabled ? 0 : 1, dc, cell.left + ScaleToDpi(2, dpi_),
                       cell.top + ScaleToDpi(3, dpi_), 0, 0, CLR_NONE, GetSysColor(COLOR_BTNFACE),
                       ILD_TRANSPARENT | ILD_BLEND50);
  }
  if ((item.itemState & ODS_FOCUS) && GetFocus() == list_) DrawFocusRect(dc, &cell);
}

void ChannelGridView::Sync() {
  ChannelGridControl& model = context_.form.StringGrid1;
  const int count = std::max(1, model.rowCount);
  if (count != shownCount_) {
    SendMessageA(list_, LB_SETCOUNT, count, 0);
    shownCount_ = count;
    shownRow_ = -2;
    shownTopRow_ = -1;
  }
  model.row = std::clamp(model.row, 0, count - 1);
  if (model.row != shownRow_) {
    SendMessageA(list_, LB_SETCURSEL, model.row, 0);
    shownRow_ = model.row;
  }
  if (model.topRow != shownTopRow_) {
    SendMessageA(list_, LB_SETTOPINDEX, std::clamp(model.topRow, 0, count - 1), 0);
    shownTopRow_ = model.topRow;
  }
  std::vector<bool> current;
  for (const Channel& channel : context_.channels.Channels()) current.push_back(channel.Enabled);
  if (current != shownCurrent_) {
    shownCurrent_ = std::move(current);
    InvalidateRect(list_, nullptr, FALSE);
  }
}

}  // namespace dova
