// The channel list on the screen: an owner-drawn list box with one 48-pixel row per channel on
// the menu colour. Each row shows the channel's logo at its own size and, 2 pixels right of and
// 3 below the row's corner, the greyed mark of ImageList1 (0 for the current channel, 1 for the
// others). Logos are loaded once, when first drawn, and kept for the run; a logo that is missing
// or not a bitmap leaves the row without one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/app_context.h"
#include "app/win32/window_gdi.h"

namespace dova {

class ChannelGridView {
 public:
  // `marks` (11 x 11 images) must outlive the view.
  ChannelGridView(HWND parent, int id, AppContext& context, HIMAGELIST marks);
  ChannelGridView(const ChannelGridView&) = delete;
  ChannelGridView& operator=(const ChannelGridView&) = delete;
  ~ChannelGridView();

  HWND Handle() const { return list_; }

  // WM_COMMAND notices of the list box: a click (or a keyboard move) on a row, a double click.
  void OnCommand(int code);
  std::function<void(int row)> onClick;
  std::function<void(int row)> onDblClick;

  // WM_DRAWITEM of the list box.
  void Draw(const DRAWITEMSTRUCT& item);

  // Shows the model: row count, selected and first visible row, current-channel marks.
  void Sync();

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  HBITMAP Logo(int index);
  void Click();

  HWND list_ = nullptr;
  AppContext& context_;
  HIMAGELIST marks_;
  std::map<std::string, UniqueBitmap> logos_;  // by file path; null for files that fail
  int shownCount_ = -1, shownRow_ = -2, shownTopRow_ = -1;
  std::vector<bool> shownCurrent_;
  bool selChangeSinceMouseDown_ = false;
};

}  // namespace dova
