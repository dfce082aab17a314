// The picture list's view under Wine: 100,000 rows stay fast, the user's selection becomes one
// range of rows in the model, and the model's selection and scroll position reach the screen.
#include "app/win32/view_file_grid.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tests/support/win32/window_test_support.h"

namespace dova::testing {
namespace {

class FileGridViewTest : public WindowTest {
 protected:
  void SetUp() override {
    Start(ShownIni(), ListOf(12));
    ClickTab(1);
    grid_ = Window("FileGrid");
  }
  // What a click or a key of the user does to the list view's state.
  void UserSets(int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(grid_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
  bool ShowsSelected(int row) {
    return SendMessageA(grid_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
  }
  HWND grid_ = nullptr;
};

double MillisecondsOf(const std::function<void()>& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

TEST_F(FileGridViewTest, ThreeColumnsOfRowsSixteenPixelsHigh) {
  EXPECT_EQ(SendMessageA(grid_, LVM_GETITEMCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageA(grid_, LVM_GETCOLUMNWIDTH, 0, 0), 189);
  EXPECT_EQ(SendMessageA(grid_, LVM_GETCOLUMNWIDTH, 1, 0), 68);
  EXPECT_EQ(SendMessageA(grid_, LVM_GETCOLUMNWIDTH, 2, 0), 2);
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(grid_, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(row.bottom - row.top, 16);
  EXPECT_EQ(Model().FileGrid.visibleRows, 9);
  // The texts the list view asks for are the model's.
  char text[64] = "";
  LVITEMA item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(grid_, LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "1280x1024");
}

TEST_F(FileGridViewTest, TheUsersSelectionBecomesOneRangeOfRows) {
  UserSets(-1, 0, LVIS_SELECTED);
  for (int row = 3; row <= 5; ++row) UserSets(row, LVIS_SELECTED, LVIS_SELECTED);
  Pump();
  EXPECT_EQ(Model().FileGrid.selTop, 3);
  EXPECT_EQ(Model().FileGrid.selBottom, 5);
  EXPECT_TRUE(IsWindowEnabled(Window("SpeedButton5")));  // the buttons follow the selection

  // Ctrl+click adds a second range: the grid keeps only the row clicked last.
  UserSets(9, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump();
  EXPECT_EQ(Model().FileGrid.selTop, 9);
  EXPECT_EQ(Model().FileGrid.selBottom, 9);
  EXPECT_FALSE(ShowsSelected(4));
  EXPECT_TRUE(ShowsSelected(9));

  // A click beside the rows clears the list view's selection; the grid keeps its own.
  UserSets(-1, 0, LVIS_SELECTED);
  Pump();
  EXPECT_EQ(Model().FileGrid.selTop, 9);
  EXPECT_TRUE(ShowsSelected(9));

  // The last row selected: moving down is no longer possible.
  UserSets(-1, 0, LVIS_SELECTED);
  UserSets(11, LVIS_SELECTED, LVIS_SELECTED);
  Pump();
  EXPECT_FALSE(IsWindowEnabled(Window("SpeedButton6")));
  EXPECT_TRUE(IsWindowEnabled(Window("SpeedButton5")));
}

TEST_F(FileGridViewTest, TheModelsSelectionAndScrollPositionReachTheScreen) {
  Model().FileGrid.SelectRows(2, 4);
  window_->Sync();
  for (int row = 0; row < 12; ++row) EXPECT_EQ(ShowsSelected(row), row >= 2 && row <= 4) << row;
  Model().FileGrid.ScrollTo(3);
  window_->Sync();
  EXPECT_EQ(SendMessageA(grid_, LVM_GETTOPINDEX, 0, 0), 3);
  // The user scrolls; a handler that does not scroll leaves the list where the user put it.
  SendMessageA(grid_, LVM_SCROLL, 0, -2 * 16);
  Pump();
  Context().SetStatus("x");
  EXPECT_EQ(SendMessageA(grid_, LVM_GETTOPINDEX, 0, 0), 1);
  EXPECT_EQ(Model().FileGrid.topRow, 1);
}

TEST_F(FileGridViewTest, DoubleClickAndEnterInstallTheSelectedPicture) {
  // The list's pictures do not exist: the installation reports them missing and stops.
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = grid_;
  click.hdr.idFrom = GetDlgCtrlID(grid_);
  click.hdr.code = NM_DBLCLK;
  click.iItem = 0;
  SendMessageA(GetParent(grid_), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  Pump();
  EXPECT_NE(Model().statusText.find("picture0.jpg"), std::string::npos);
  Context().SetStatus("");
  SetFocus(grid_);
  PostMessageA(grid_, WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_NE(Model().statusText.find("picture0.jpg"), std::string::npos);
  EXPECT_EQ(desktop_.calls, 0);
}

TEST_F(FileGridViewTest, OneHundredThousandRowsStayFast) {
  FileGridControl& grid = Model().FileGrid;
  grid.rows.clear();
  for (int i = 0; i < 100000; ++i)
    grid.rows.push_back(GridRow{"picture" + std::to_string(i) + ".jpg",
                                i % 2 ? "1024x768" : "800x600",
                                "C:\\Pictures\\picture" + std::to_string(i) + ".jpg"});
  const double load = MillisecondsOf([&] { window_->Sync(); });
  EXPECT_EQ(SendMessageA(grid_, LVM_GETITEMCOUNT, 0, 0), 100000);
  const double selectAll = MillisecondsOf([&] {
    grid.SelectRows(0, 99999);
    window_->Sync();
  });
  const double scroll = MillisecondsOf([&] {
    grid.SelectRows(75000, 75010);
    grid.ScrollTo(74997);
    window_->Sync();
  });
  EXPECT_EQ(SendMessageA(grid_, LVM_GETTOPINDEX, 0, 0), 74997);
  const double paint = MillisecondsOf([&] {
    InvalidateRect(grid_, nullptr, FALSE);
    UpdateWindow(grid_);
  });
  const double idle = MillisecondsOf([&] {
    for (int i = 0; i < 100; ++i) window_->Sync();
  }) / 100;
  std::printf("100,000 rows: load %.1f ms, select all %.1f ms, select and scroll %.1f ms, "
              "paint %.1f ms, sync without changes %.3f ms\n",
              load, selectAll, scroll, paint, idle);
  EXPECT_LT(selectAll, 1000);
  EXPECT_LT(scroll, 1000);
  EXPECT_LT(idle, 5);
}

}  // namespace
}  // namespace dova::testing
