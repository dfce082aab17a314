#include "form/controller.h"

#include <gtest/gtest.h>

#include "tests/support/test_app.h"

namespace dova {
namespace {

using testing::FillRows;
using testing::TestApp;

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

TEST(UpdateControls, TheFilterFollowsEveryResizingOfTheProgramAndTheColourFit) {
  TestApp app;
  FormModel& f = app.ctx().form;
  struct Expected {
    RadioButton* mode;
    bool filter, colour;
  };
  for (const Expected& e :
       {Expected{&f.RadioButton1, false, false}, Expected{&f.RadioButton2, true, false},
        Expected{&f.RadioButton3, false, false}, Expected{&f.RadioButton11, true, false},
        Expected{&f.RadioButton12, true, true}}) {
    f.Check(*e.mode);
    UpdateControls(app.ctx());
    EXPECT_EQ(f.ComboBox5.enabled, e.filter) << e.mode->name;
    EXPECT_EQ(f.ColorButton1.enabled, e.colour) << e.mode->name;
  }
  // No mode checked (an unknown stored word): nothing to choose.
  for (RadioButton* b : f.RadioGroup("GroupBox3")) b->checked = false;
  UpdateControls(app.ctx());
  EXPECT_FALSE(f.ComboBox5.enabled || f.ColorButton1.enabled);
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

}  // namespace
}  // namespace dova
