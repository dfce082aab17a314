#include "app/win32/view_file_grid.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/win32/dpi.h"
#include "app/win32/window_gdi.h"
#include "app/win32/window_interface_text.h"

namespace dova {

namespace {

constexpr int kRowHeight = 16;
// Longer selections are not copied row by row into the list view (see PushSelection).
constexpr int kMirroredRows = 256;

COLORREF ToColorRef(const Rgb& colour) { return RGB(colour.red, colour.green, colour.blue); }

// Case-insensitive prefix test of a row's name against the list view's type-ahead text (which
// comes in the ANSI code page).
bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const std::wstring name = InterfaceText(text), typed = FromAnsiControlText(prefix);
  if (name.size() < typed.size()) return false;
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.data(),
                        static_cast<int>(typed.size()), typed.data(),
                        static_cast<int>(typed.size())) == CSTR_EQUAL;
}

}  // namespace

FileGridView::FileGridView(HWND parent, int id, const RECT& place, UINT dpi, HFONT font,
                           FileGridControl& model, ColourRule colours, HWND notifyTarget,
                           UINT selectionMessage)
    : font_(font),
      model_(model),
      colours_(std::move(colours)),
      notifyTarget_(notifyTarget),
      selectionMessage_(selectionMessage) {
  // The rows are painted by the view itself, in Unicode; the list view keeps only their count
  // and selection, and is given the texts in the ANSI code page when it asks.
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LVS_REPORT |
                              LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                          place.left, place.top, place.right - place.left, place.bottom - place.top,
                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleA(nullptr), nullptr);
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
               LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int column = 0; column < 3; ++column) {
    LVCOLUMNA info{};
    info.mask = LVCF_SUBITEM;
    info.iSubItem = column;
    SendMessageA(list_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageA(list_, LVM_SETITEMCOUNT, 1, LVSICF_NOSCROLL);
  SetDpi(dpi, font);
  Sync();
  ReadScroll();
}

void FileGridView::SetDpi(UINT dpi, HFONT font) {
  dpi_ = dpi;
  font_ = font;
  SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // A row is as high as the small images plus one pixel: a 1 x 15 list makes rows of 16 pixels.
  // The list view keeps the image list (it is not shared) and destroys it with itself.
  HIMAGELIST rowHeight = ImageList_Create(1, ScaleToDpi(kRowHeight, dpi) - 1, ILC_COLOR, 0, 1);
  HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
      SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rowHeight)));
  if (old) ImageList_Destroy(old);
  for (int column = 0; column < 3; ++column)
    SendMessageA(list_, LVM_SETCOLUMNWIDTH, column, ColumnWidth(column));
  RECT first{};
  first.left = LVIR_BOUNDS;
  if (SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) &&
      first.bottom > first.top)
    rowHeight_ = first.bottom - first.top;
  InvalidateRect(list_, nullptr, TRUE);
}

int FileGridView::ColumnWidth(int column) const {
  return ScaleToDpi(model_.colWidths[column], dpi_);
}

bool FileGridView::IsSelected(int row) const {
  return (SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool FileGridView::OnNotify(const NMHDR& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case LVN_GETDISPINFOA: {
      auto& info = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header));
      LVITEMA& item = info.item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const bool inside = item.iItem >= 0 && item.iItem < model_.RowCount() &&
                            item.iSubItem >= 0 && item.iSubItem < 3;
        const std::string text = inside ? model_.rows[item.iItem][item.iSubItem] : "";
        lstrcpynA(item.pszText, AnsiControlText(text).c_str(), item.cchTextMax);
      }
      return true;
    }
    case LVN_ODFINDITEMA:
      result = FindRow(reinterpret_cast<const NMLVFINDITEMA&>(header));
      return true;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (!pushing_ && (change.uChanged & LVIF_STATE) &&
          ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) {
        if (!selectionDirty_) PostMessageA(notifyTarget_, selectionMessage_, 0, 0);
        selectionDirty_ = true;
      }
      return true;
    }
    case LVN_ODSTATECHANGED: {
      const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
      if (!pushing_ && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) {
        if (!selectionDirty_) PostMessageA(notifyTarget_, selectionMessage_, 0, 0);
        selectionDirty_ = true;
      }
      return true;
    }
    case NM_DBLCLK:
      if (onDblClick) onDblClick();
      return true;
    case NM_CUSTOMDRAW:
      Paint(const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header)));
      result = reinterpret_cast<const NMLVCUSTOMDRAW&>(header).nmcd.dwDrawStage == CDDS_PREPAINT
                   ? CDRF_NOTIFYITEMDRAW
                   : CDRF_SKIPDEFAULT;
      return true;
    default:
      return false;
  }
}

int FileGridView::FindRow(const NMLVFINDITEMA& find) const {
  if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
  const int count = model_.RowCount();
  const int start = std::clamp(find.iStart, 0, count);
  for (int k = 0; k < count; ++k) {
    const int row = (start + k) % count;
    if (StartsWithNoCase(model_.rows[row][0], find.lvfi.psz)) return row;
    if (!(find.lvfi.flags & LVFI_WRAP) && row == count - 1) break;
  }
  return -1;
}

void FileGridView::Paint(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return;
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  if (row < 0 || row >= model_.RowCount()) return;
  RECT line{};
  line.left = LVIR_BOUNDS;
  if (!SendMessageA(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&line))) return;
  RECT client;
  GetClientRect(list_, &client);

  HDC dc = draw.nmcd.hdc;
  SelectInDc selectFont(dc, font_);
  const GridRow& texts = model_.rows[row];
  const bool selected = row >= model_.selTop && row <= model_.selBottom;
  const CellColours colours = colours_(texts[1], selected);
  SetBkColor(dc, ToColorRef(colours.background));
  SetTextColor(dc, ToColorRef(colours.text));
  int x = line.left;
  for (int column = 0; column < 3; ++column) {
    RECT cell{x, line.top, x + ColumnWidth(column), line.bottom};
    const std::wstring text = InterfaceText(texts[column]);
    ExtTextOutW(dc, cell.left + 1, cell.top + 1, ETO_OPAQUE | ETO_CLIPPED, &cell, text.data(),
                static_cast<UINT>(text.size()), nullptr);
    x = cell.right;
  }
  RECT rest{x, line.top, std::max(x, static_cast<int>(client.right)), line.bottom};
  FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
}

bool FileGridView::ReadSelection() {
  if (!selectionDirty_) return false;
  selectionDirty_ = false;
  const int first = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
  if (first < 0) {
    // A click beside the rows clears the list view's selection; the grid keeps its own.
    forcePush_ = true;
    return false;
  }
  const int count = static_cast<int>(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0));
  const int last = first + std::max(count, 1) - 1;
  int top = first, bottom = last;
  // count selected rows from `first` to `last` with none after `last` is exactly one range.
  const bool oneRange =
      IsSelected(last) && SendMessageA(list_, LVM_GETNEXTITEM, last, LVNI_SELECTED) == -1;
  if (!oneRange) {
    // Ctrl+click made a second range: the grid selects only the row clicked last.
    const int focused = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    top = bottom = focused >= 0 ? focused : first;
    forcePush_ = true;
  }
  const bool changed = top != model_.selTop || bottom != model_.selBottom;
  model_.SelectRows(top, bottom);
  if (!forcePush_) {
    shownTop_ = model_.selTop;
    shownBottom_ = model_.selBottom;
  }
  return changed;
}

void FileGridView::ReadScroll() {
  const int perPage = static_cast<int>(SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  if (perPage > 0) model_.visibleRows = perPage;
  readTopRow_ = model_.topRow = static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
}

void FileGridView::PushSelection() {
  pushing_ = true;
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  // The rows are painted from the model, so the list view's own selection only matters as the
  // starting point of the user's next click or key. A long range is marked at its ends only:
  // selecting 100,000 rows one by one (or with item -1, which Wine's list view does one by one
  // too) would take seconds.
  state.state = LVIS_SELECTED;
  const int length = model_.selBottom - model_.selTop + 1;
  for (int row = model_.selTop; row <= model_.selBottom; ++row) {
    if (length > kMirroredRows && row > model_.selTop && row < model_.selBottom) {
      row = model_.selBottom - 1;
      continue;
    }
    SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  }
  state.stateMask = state.state = LVIS_FOCUSED;
  SendMessageA(list_, LVM_SETITEMSTATE, model_.selTop, reinterpret_cast<LPARAM>(&state));
  SendMessageA(list_, LVM_SETSELECTIONMARK, 0, model_.selTop);
  pushing_ = false;
  shownTop_ = model_.selTop;
  shownBottom_ = model_.selBottom;
  forcePush_ = false;
}

void FileGridView::Sync() {
  model_.ClampSelection();
  // The first visible row to show: the model's when a handler moved it, else where the user
  // left it (pushing the selection may scroll the list view by itself).
  const int userTop = static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
  const int wantedTop = model_.topRow != readTopRow_ ? model_.topRow : userTop;

  const int count = model_.RowCount();
  if (count != shownCount_) {
    pushing_ = true;
    SendMessageA(list_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
    pushing_ = false;
    shownCount_ = count;
    forcePush_ = true;
  }
  if (forcePush_ || model_.selTop != shownTop_ || model_.selBottom != shownBottom_) PushSelection();

  const int current = static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
  const int perPage = std::max(1, static_cast<int>(SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0)));
  const int target = std::clamp(wantedTop, 0, std::max(0, count - perPage));
  if (current != target) SendMessageA(list_, LVM_SCROLL, 0, (target - current) * rowHeight_);
  ReadScroll();

  // Repaint when a row in view shows other texts or another selection than last time.
  const int first = static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
  const int end = std::min(count, first + model_.visibleRows + 1);
  bool changed = first != shownFirstPainted_ || model_.selTop != shownSelTop_ ||
                 model_.selBottom != shownSelBottom_ ||
                 static_cast<int>(shownRows_.size()) != std::max(0, end - first);
  for (int row = first; !changed && row < end; ++row)
    changed = shownRows_[row - first] != model_.rows[row];
  if (changed) {
    shownRows_.assign(model_.rows.begin() + std::min(first, count), model_.rows.begin() + end);
    shownFirstPainted_ = first;
    shownSelTop_ = model_.selTop;
    shownSelBottom_ = model_.selBottom;
    InvalidateRect(list_, nullptr, FALSE);
  }
}

}  // namespace dova
