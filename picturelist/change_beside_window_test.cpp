// A change from the list converts its picture on a thread of its own while the window is served:
// the message queue is pumped all through the conversion, a second change that arrives
// meanwhile is refused, and a window closed meanwhile stops the conversion and ends the program.
#include <gtest/gtest.h>

#include <string>

#include "form/wallpaper_change.h"
#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"

namespace dova::testing {
namespace {

class ChangeBesideTheWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    AppContext& c = app.ctx();
    // Large enough that the conversion takes many of the window's turns.
    picture = c.DataDir + "big.jpg";
    WriteTestJpeg(picture, 4000, 3000);
    c.form.FileGrid.rows = {MakeListRow(picture, "4000x3000")};
    c.form.FileGrid.SelectRows(0, 0);
    c.form.Check(c.form.RadioButton2);  // resized by the program
    app.screen.size = {1920, 1080};
  }

  TestApp app;
  std::string picture;
};

TEST_F(ChangeBesideTheWindow, TheWindowIsServedAndASecondChangeRefused) {
  AppContext& c = app.ctx();
  int secondChanges = 0;
  app.pump.onProcessMessages = [&] {
    // A timer tick or a tray command arriving during the conversion.
    if (secondChanges++ == 0) FileGridDblClick(c);
  };
  FileGridDblClick(c);
  EXPECT_GT(app.pump.processed, 1) << "pumped while the picture was converted";
  EXPECT_EQ(app.desktop.calls, 1) << "the change inside the change did nothing";
  EXPECT_FALSE(app.pump.terminated);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(app.desktop.wallpaper, bytes));
  EXPECT_EQ(bytes.size(), 54u + 1920u * 1080u * 3u) << "a whole bitmap of the screen's size";
}

TEST_F(ChangeBesideTheWindow, AWindowClosedMeanwhileStopsTheConversionAndEndsTheProgram) {
  AppContext& c = app.ctx();
  c.CurrentWallpaper = "C:\\before.jpg";
  app.pump.onProcessMessages = [&] { c.WindowClosed = true; };
  EXPECT_THROW(FileGridDblClick(c), ConversionCancelled);
  EXPECT_TRUE(app.pump.terminated);
  EXPECT_EQ(app.desktop.calls, 0) << "nothing changed half-way";
  EXPECT_EQ(c.CurrentWallpaper, "C:\\before.jpg");
  EXPECT_TRUE(ListDirectory(c.DataDir + "wallpaper*").empty()) << "no bitmap left behind";
  EXPECT_FALSE(c.changeRunning);
}

}  // namespace
}  // namespace dova::testing
