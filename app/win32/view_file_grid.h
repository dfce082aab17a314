// The picture list on the screen: a virtual list view ("owner data") that asks the model for
// the texts of the rows it shows, so a list of 100,000 pictures costs nothing until a row is
// painted. Three columns without a header, whole rows 16 pixels high, each row painted in the
// list's colours (by its size text and selection) with the text 1 pixel right of and below the
// cell's corner. The user's selection, whatever the list view allows, becomes one range of rows
// in the model; the model's selection, row count and first visible row are pushed back by Sync.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "form/form_model.h"
#include "picturelist/picture_list.h"

namespace dova {

class FileGridView {
 public:
  // The colours of a row from its size text and selection.
  using ColourRule = std::function<CellColours(const std::string& sizeText, bool selected)>;

  // Creates the list view in `parent`; `notifyTarget` gets the posted `selectionMessage` when
  // the user changed the selection (so that many changes in a row make one event).
  FileGridView(HWND parent, int id, HFONT font, FileGridControl& model, ColourRule colours,
               HWND notifyTarget, UINT selectionMessage);
  FileGridView(const FileGridView&) = delete;
  FileGridView& operator=(const FileGridView&) = delete;

  HWND Handle() const { return list_; }

  // A notification of the list view (WM_NOTIFY from it). Returns true when it is handled, with
  // the window procedure's result in `result`. A double click calls `onDblClick`.
  bool OnNotify(const NMHDR& header, LRESULT& result);
  std::function<void()> onDblClick;

  // When the user changed the selection since the last call: copies it into the model as one
  // range of rows and returns whether the model's selection changed.
  bool ReadSelection();
  // Copies the first visible row and the number of whole rows in view into the model.
  void ReadScroll();
  // Shows the model: row count, selection, first visible row (when the model moved it since
  // ReadScroll) and repaints the rows in view whose texts or colours changed.
  void Sync();

 private:
  bool IsSelected(int row) const;
  void PushSelection();
  void Paint(NMLVCUSTOMDRAW& draw);
  int FindRow(const NMLVFINDITEMA& find) const;

  HWND list_ = nullptr;
  HFONT font_;
  FileGridControl& model_;
  ColourRule colours_;
  HWND notifyTarget_;
  UINT selectionMessage_;

  int rowHeight_ = 16;           // pixels, as the list view lays the rows out
  bool pushing_ = false;        // notifications caused by Sync itself are not the user's
  bool selectionDirty_ = false;  // the user changed the selection; ReadSelection pending
  bool forcePush_ = true;
  int shownCount_ = -1;
  int shownTop_ = -1, shownBottom_ = -1;  // the selection the list view shows
  int readTopRow_ = 0;                    // the first visible row at the last ReadScroll
  int shownFirstPainted_ = -1;            // cache of the rows in view, for Sync's repaint test
  std::vector<GridRow> shownRows_;
  int shownSelTop_ = -1, shownSelBottom_ = -1;
};

}  // namespace dova
