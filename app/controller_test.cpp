#include "app/controller.h"

#include <gtest/gtest.h>

#include "app/keyboard.h"
#include "tests/fake_platform.h"

namespace dova {
namespace {

using testing::TestApp;

void FillRows(FormModel& f, int count) {
  f.FileGrid.SetRowCount(count);
  for (int i = 0; i < count; ++i)
    f.FileGrid.rows[i] = {"p" + std::to_string(i) + ".jpg", "1024x768",
                          "C:\\p" + std::to_string(i) + ".jpg"};
}

TEST(UpdateControls, ProxyLoginFieldsFollowBothBoxes) {
  TestApp app;
  FormModel& f = app.ctx().form;
  f.CheckBox4.checked = false;
  f.CheckBox5.checked = true;
  UpdateControls(app.ctx());
  EXPECT_FALSE(f.Edit3.enabled || f.Edit4.enabled || f.CheckBox5.enabled || f.Edit1.enabled);
  f.CheckBox4.checked = true;
  UpdateControls(app.ctx());
  EXPECT_TRUE(f.Edit3.enabled && f.Edit4.enabled && f.CheckBox5.enabled && f.Edit2.enabled);
  f.CheckBox5.checked = false;
  UpdateControls(app.ctx());
  EXPECT_FALSE(f.Edit3.enabled || f.Edit4.enabled);
  EXPECT_TRUE(f.Edit1.enabled);
}

TEST(UpdateControls, ListsFollowTheirOptions) {
  TestApp app;
  FormModel& f = app.ctx().form;
  f.CheckBox2.checked = false;
  f.CheckBox6.checked = true;
  f.RadioButton2.checked = false;
  f.Check(f.RadioButton6);
  UpdateControls(app.ctx());
  EXPECT_FALSE(f.ComboBox1.enabled || f.ComboBox2.enabled || f.ComboBox5.enabled);
  EXPECT_TRUE(f.ComboBox4.enabled && f.ComboBox6.enabled && f.ComboBox7.enabled);
  EXPECT_FALSE(f.ComboBox8.enabled || f.ComboBox9.enabled);
  f.Check(f.RadioButton7);
  f.Check(f.RadioButton2);
  UpdateControls(app.ctx());
  EXPECT_TRUE(f.ComboBox8.enabled && f.ComboBox9.enabled && f.ComboBox5.enabled);
  EXPECT_FALSE(f.ComboBox6.enabled);
}

TEST(UpdateControls, ListButtonsFollowTheListAndSelection) {
  TestApp app;
  FormModel& f = app.ctx().form;
  UpdateControls(app.ctx());  // the empty list
  for (SpeedButton* b : {&f.SpeedButton3, &f.SpeedButton4, &f.SpeedButton5, &f.SpeedButton6,
                         &f.SpeedButton7, &f.SpeedButton8})
    EXPECT_FALSE(b->enabled) << b->name;
  EXPECT_TRUE(f.SpeedButton1.enabled && f.SpeedButton2.enabled);

  FillRows(f, 3);
  f.FileGrid.SelectRows(0, 0);
  UpdateControls(app.ctx());
  EXPECT_FALSE(f.SpeedButton5.enabled);
  EXPECT_TRUE(f.SpeedButton6.enabled && f.SpeedButton3.enabled && f.SpeedButton8.enabled);
  f.FileGrid.SelectRows(1, 2);
  UpdateControls(app.ctx());
  EXPECT_TRUE(f.SpeedButton5.enabled);
  EXPECT_FALSE(f.SpeedButton6.enabled);

  FillRows(f, 1);
  f.FileGrid.SelectRows(0, 0);
  UpdateControls(app.ctx());
  EXPECT_FALSE(f.SpeedButton5.enabled || f.SpeedButton6.enabled);
}

TEST(ModeSwitch, HighlightFollowsTheCheckedMode) {
  TestApp app;
  FormModel& f = app.ctx().form;
  f.Check(f.RadioButton10);
  RadioButton9Click(app.ctx());
  EXPECT_TRUE(f.TabSheet2.highlighted);
  EXPECT_FALSE(f.TabSheet1.highlighted);
  f.Check(f.RadioButton9);
  RadioButton9Click(app.ctx());
  EXPECT_TRUE(f.TabSheet1.highlighted);
  EXPECT_FALSE(f.TabSheet2.highlighted);
}

TEST(HelpTopics, PageAndControlTopics) {
  EXPECT_EQ(HelpTopic(0, "StringGrid1"), "chanels.htm");
  EXPECT_EQ(HelpTopic(0, "ComboBox2"), "change.htm");
  EXPECT_EQ(HelpTopic(1, "CheckBox7"), "offline.htm");
  EXPECT_EQ(HelpTopic(1, "ComboBox9"), "shedulle.htm");
  EXPECT_EQ(HelpTopic(2, "ComboBox10"), "config.htm");
  EXPECT_EQ(HelpTopic(2, "CheckBox3"), "intray.htm");
  EXPECT_EQ(HelpTopic(3, "Edit4"), "proxy.htm");
  EXPECT_EQ(HelpTopic(3, "ComboBox3"), "maxfilesize.htm");
  EXPECT_EQ(HelpTopic(3, "ComboBox4"), "speed.htm");
  EXPECT_EQ(HelpTopic(3, "FileGrid"), "netconfig.htm");  // not listed for that page
  EXPECT_EQ(HelpTopic(2, ""), "config.htm");             // nothing focused
  EXPECT_EQ(HelpTopic(4, "Edit1"), "default.htm");
  EXPECT_EQ(HelpTopic(0, "stringgrid1"), "online.htm");  // names compared exactly
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
