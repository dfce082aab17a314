#include "picturelist/list_editing.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "wallpaper/picture_reader.h"

namespace dova {

namespace {

bool additionRunning = false;

// Marks an addition as running for its lifetime; Acquired() is false inside another one.
class AdditionScope {
 public:
  AdditionScope() : acquired_(!additionRunning) { additionRunning = true; }
  ~AdditionScope() {
    if (acquired_) additionRunning = false;
  }
  AdditionScope(const AdditionScope&) = delete;
  AdditionScope& operator=(const AdditionScope&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  bool acquired_;
};

// Every eleventh file the window handles its pending messages and the status line names the
// file, so a long addition stays responsive and shows how far it got.
class AdditionProgress {
 public:
  explicit AdditionProgress(AppContext& context) : context_(context) {}
  void Handled(const std::string& name) {
    if (++count_ <= 10) return;
    context_.platform.pump.ProcessMessages();
    context_.SetStatus(context_.Phrase("adding") + " " + name);
    count_ = 0;
  }

 private:
  AppContext& context_;
  int count_ = 0;
};

// Appends new rows after the last row, or from row 0 when the list is empty. The grid is sized
// for the expected count at once; should fewer or more files turn up (a folder that changed
// between its two readings), the grid grows as needed and unused rows are dropped at the end,
// so no empty rows are left in the list.
class RowAppender {
 public:
  RowAppender(FileGridControl& grid, int expected)
      : grid_(grid), next_(grid.ListEmpty() ? 0 : grid.RowCount()) {
    grid_.SetRowCount(next_ + expected);
  }
  ~RowAppender() {
    if (next_ < grid_.RowCount()) grid_.SetRowCount(next_);  // keeps at least one row
    if (next_ == 0) grid_.rows[0] = GridRow{};
  }
  RowAppender(const RowAppender&) = delete;
  RowAppender& operator=(const RowAppender&) = delete;

  void Append(const std::string& path) {
    if (next_ >= grid_.RowCount()) grid_.SetRowCount(next_ + 1);
    grid_.rows[next_++] = MakeListRow(path, ReadPictureSize(path));
  }

 private:
  FileGridControl& grid_;
  int next_;
};

bool IsPlainFile(const DirEntry& entry) {
  return !entry.directory && !entry.hidden && !entry.system;
}

void MakeEmptyList(FileGridControl& grid) {
  grid.SetRowCount(1);
  grid.rows[0] = GridRow{};
}

}  // namespace

bool ListAdditionRunning() { return additionRunning; }

bool HasPictureSuffix(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto endsWith = [&lower](const std::string& suffix) {
    return lower.size() >= suffix.size() &&
           lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  return endsWith(".jpg") || endsWith(".jpeg") || endsWith(".png") || endsWith(".bmp");
}

void SpeedButton1Click(AppContext& context) {
  AdditionScope scope;
  if (!scope.Acquired()) return;
  FormModel& form = context.form;
  const std::vector<std::string> files =
      context.platform.dialogs.OpenPictureFiles(form.openDialogTitle, form.openDialogFilter);
  if (!files.empty()) {
    RowAppender rows(form.FileGrid, static_cast<int>(files.size()));
    AdditionProgress progress(context);
    for (const std::string& path : files) {
      progress.Handled(FileNameOf(path));
      rows.Append(path);
    }
  }
  context.SetStatus("");
}

void SpeedButton2Click(AppContext& context) {
  AdditionScope scope;
  if (!scope.Acquired()) return;
  std::string folder = context.platform.dialogs.BrowseForFolder(context.Phrase("opendirectory"));
  if (!folder.empty()) {
    SetCurrentDir(folder);
    if (folder.back() != '\\') folder += '\\';
    const std::string pattern = folder + "*.*";

    int expected = 0;
    for (const DirEntry& entry : ListDirectory(pattern))
      if (IsPlainFile(entry) && HasPictureSuffix(entry.name)) ++expected;

    RowAppender rows(context.form.FileGrid, expected);
    AdditionProgress progress(context);
    for (const DirEntry& entry : ListDirectory(pattern)) {
      if (!IsPlainFile(entry)) continue;
      progress.Handled(entry.name);
      if (HasPictureSuffix(entry.name)) rows.Append(folder + entry.name);
    }
  }
  context.SetStatus("");
}

void SpeedButton3Click(AppContext& context) {
  if (additionRunning) return;
  FileGridControl& grid = context.form.FileGrid;
  grid.ClampSelection();
  grid.rows.erase(grid.rows.begin() + grid.selTop, grid.rows.begin() + grid.selBottom + 1);
  if (grid.rows.empty()) grid.rows.emplace_back();
  grid.ClampSelection();
}

void SpeedButton4Click(AppContext& context) {
  if (additionRunning) return;
  FileGridControl& grid = context.form.FileGrid;
  const double aspect = context.ScreenAspect;
  grid.rows.erase(
      std::remove_if(grid.rows.begin(), grid.rows.end(),
                     [aspect](const GridRow& row) { return !SizeFitsScreen(row[1], aspect); }),
      grid.rows.end());
  if (grid.rows.empty()) grid.rows.emplace_back();
  grid.ClampSelection();
}

void SpeedButton5Click(AppContext& context) {
  if (additionRunning) return;
  FileGridControl& grid = context.form.FileGrid;
  grid.ClampSelection();
  const int top = grid.selTop, bottom = grid.selBottom;
  if (top == 0) return;
  // Row top - 1 goes below the selection; the selected rows each move one up.
  std::rotate(grid.rows.begin() + (top - 1), grid.rows.begin() + top,
              grid.rows.begin() + (bottom + 1));
  grid.SelectRows(top - 1, bottom - 1);
  if (top - 1 < grid.topRow) grid.ScrollTo(top - 1);
}

void SpeedButton6Click(AppContext& context) {
  if (additionRunning) return;
  FileGridControl& grid = context.form.FileGrid;
  grid.ClampSelection();
  const int top = grid.selTop, bottom = grid.selBottom;
  if (bottom >= grid.RowCount() - 1) return;
  // Row bottom + 1 goes above the selection; the selected rows each move one down.
  std::rotate(grid.rows.begin() + top, grid.rows.begin() + (bottom + 1),
              grid.rows.begin() + (bottom + 2));
  grid.SelectRows(top + 1, bottom + 1);
  if (top - 8 > grid.topRow) grid.ScrollTo(top - 8);
}

void SpeedButton7Click(AppContext& context) {
  if (additionRunning) return;
  MakeEmptyList(context.form.FileGrid);
}

}  // namespace dova
