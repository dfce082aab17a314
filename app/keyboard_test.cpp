#include "app/keyboard.h"

#include <gtest/gtest.h>

#include "form/controller.h"
#include "tests/support/test_app.h"

namespace dova {
namespace {

using testing::TestApp;

void FillRows(FormModel& f, int count) {
  f.FileGrid.SetRowCount(count);
  for (int i = 0; i < count; ++i)
    f.FileGrid.rows[i] = {"p" + std::to_string(i) + ".jpg", "1024x768",
                          "C:\\p" + std::to_string(i) + ".jpg"};
}

TEST(Keyboard, F1OpensTheFocusedControlsTopicInTheLanguagesHelpFile) {
  TestApp app;
  FormModel& f = app.ctx().form;
  f.activePage = 3;
  f.activeControl = "CheckBox6";
  app.ctx().HelpFile = "C:\\Dova\\Languages\\Russian.chm";
  HandleFormKey(app.ctx(), keys::kF1, {});
  ASSERT_EQ(app.help.shown.size(), 1u);
  EXPECT_EQ(app.help.shown[0], "C:\\Dova\\Languages\\Russian.chm::/HTML/speed.htm>main");
}

TEST(Keyboard, ListKeysOnlyOnTheListPageAndOnlyWithTheirButtonEnabled) {
  TestApp app;
  FormModel& f = app.ctx().form;
  FillRows(f, 5);
  f.FileGrid.SelectRows(2, 2);
  UpdateControls(app.ctx());

  f.activePage = 0;
  HandleFormKey(app.ctx(), 'A', {false, true, false});
  EXPECT_EQ(f.FileGrid.selTop, 2);  // not on the list page

  f.activePage = 1;
  HandleFormKey(app.ctx(), 'A', {});  // A alone does nothing
  EXPECT_EQ(f.FileGrid.selTop, 2);
  HandleFormKey(app.ctx(), 'A', {true, true, false});  // Ctrl+Shift+A too
  EXPECT_EQ(f.FileGrid.selTop, 0);
  EXPECT_EQ(f.FileGrid.selBottom, 4);

  f.FileGrid.SelectRows(1, 1);
  UpdateControls(app.ctx());
  HandleFormKey(app.ctx(), keys::kDelete, {true, false, false});  // Delete with Shift deletes
  EXPECT_EQ(f.FileGrid.RowCount(), 4);
  EXPECT_EQ(f.FileGrid.rows[1][0], "p2.jpg");

  HandleFormKey(app.ctx(), 'R', {false, true, false});
  EXPECT_TRUE(f.FileGrid.ListEmpty());
  HandleFormKey(app.ctx(), keys::kDelete, {});  // empty list: Delete does nothing
  HandleFormKey(app.ctx(), keys::kReturn, {});
  EXPECT_EQ(f.FileGrid.RowCount(), 1);
  EXPECT_EQ(app.desktop.calls, 0);
  EXPECT_EQ(app.ctx().form.trayIconIndex, 3);
}

TEST(Keyboard, EscapeQuitsOnEveryPage) {
  for (int page = 0; page < 4; ++page) {
    TestApp app;
    app.ctx().form.activePage = page;
    app.ctx().form.activeControl = "Edit1";
    HandleFormKey(app.ctx(), keys::kEscape, {});
    EXPECT_TRUE(app.pump.terminated);
    EXPECT_FALSE(app.ctx().WindowClosed);
  }
}

}  // namespace
}  // namespace dova
