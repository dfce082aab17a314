#include "app/scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"

namespace dova {
namespace {

using testing::TestApp;

void Choose(ComboBox& list, const std::string& text) {
  const auto at = std::find(list.items.begin(), list.items.end(), text);
  ASSERT_NE(at, list.items.end()) << text;
  list.Select(static_cast<int>(at - list.items.begin()));
}

struct SchedulerTest : ::testing::Test {
  TestApp app;
  AppContext& c = app.ctx();
  FormModel& f = c.form;
  int dailyUpdates = 0;
  std::vector<DailyUpdateOutcome> outcomes;  // of the next updates, in order; then Installed
  // The picture-of-the-day update is counted (it would go to the network); the from-list
  // change is the real one, installing real pictures.
  Scheduler scheduler{SchedulerActions{[this](AppContext&) {
                                         ++dailyUpdates;
                                         if (outcomes.empty()) return DailyUpdateOutcome::Installed;
                                         const DailyUpdateOutcome next = outcomes.front();
                                         outcomes.erase(outcomes.begin());
                                         return next;
                                       },
                                       N1Click}};

  void SetUp() override {
    c.log.Open(c.DataDir + "dova.log");
    f.FileGrid.rows.clear();
    for (int i = 0; i < 3; ++i) {
      const std::string path = app.dir.Path() + "p" + std::to_string(i) + ".jpg";
      testing::WriteTestJpeg(path, 64, 48);
      f.FileGrid.rows.push_back(MakeListRow(path, "64x48"));
    }
    f.Check(f.RadioButton4);  // in order
  }
  void PictureOfTheDayMode() {
    f.TabSheet1.highlighted = true;
    f.TabSheet2.highlighted = false;
  }
  void FromListMode() {
    f.TabSheet1.highlighted = false;
    f.TabSheet2.highlighted = true;
  }
  void PeriodRule(const std::string& hours, const std::string& minutes) {
    FromListMode();
    f.Check(f.RadioButton7);
    Choose(f.ComboBox8, hours);
    Choose(f.ComboBox9, minutes);
  }
  void TickAt(int hour, int minute, int second, int day = 8) {
    app.clock.Set(2026, 12, day, hour, minute, second);
    scheduler.Tick(c);
  }
  int ListChanges() { return app.desktop.calls; }
  // The journal's lines as "\n"-ended lines, whatever ending the system writes.
  std::string Log() {
    std::string text = app.dir.ReadFile("Sites\\dova.log");
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
  }
  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++n;
    return n;
  }
};

TEST_F(SchedulerTest, DailyPictureFiresOnceInItsMinuteAndOnlyWithTheOptionOn) {
  PictureOfTheDayMode();
  f.CheckBox2.checked = true;
  Choose(f.ComboBox1, "14");
  Choose(f.ComboBox2, "00");
  TickAt(13, 59, 40);
  EXPECT_EQ(dailyUpdates, 0);
  TickAt(14, 0, 40);
  EXPECT_EQ(dailyUpdates, 1);
  EXPECT_EQ(Count(Log(), "NOTICE " + c.Phrase("frominternet")), 1);
  TickAt(14, 1, 40);
  EXPECT_EQ(dailyUpdates, 1);
  EXPECT_EQ(ListChanges(), 0);  // the list rules belong to the other mode

  f.CheckBox2.checked = false;
  TickAt(14, 0, 10, 9);
  EXPECT_EQ(dailyUpdates, 1);
  EXPECT_EQ(Count(Log(), c.Phrase("frominternet")), 1);
}

TEST_F(SchedulerTest, PeriodCountsFromTheLastAppliedWallpaperWhateverStartedIt) {
  PeriodRule("00", "20");
  c.PreviousSetWallpaper = EncodeDateTime(2026, 12, 8, 10, 0, 30);
  for (int minute = 1; minute < 20; ++minute) TickAt(10, minute, 30);
  EXPECT_EQ(ListChanges(), 0);
  TickAt(10, 20, 30);  // exactly one period later
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(c.PreviousSetWallpaper, EncodeDateTime(2026, 12, 8, 10, 20, 30));

  // A change by hand at 10:15 moves the next one to 10:35.
  c.PreviousSetWallpaper = EncodeDateTime(2026, 12, 8, 10, 0, 30);
  app.clock.Set(2026, 12, 8, 10, 15, 0);
  FileGridDblClick(c);
  EXPECT_EQ(ListChanges(), 2);
  for (int minute = 16; minute < 35; ++minute) TickAt(10, minute, 30);
  TickAt(10, 34, 59);
  EXPECT_EQ(ListChanges(), 2);
  TickAt(10, 35, 0);
  EXPECT_EQ(ListChanges(), 3);
  EXPECT_EQ(Count(Log(), "Установка картинки"), 2);
}

TEST_F(SchedulerTest, FirstRunChangesAtTheFirstTick) {
  PeriodRule("24", "59");
  c.PreviousSetWallpaper = 0.0;
  TickAt(10, 1, 0);
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(c.CurrentWallpaper, f.FileGrid.rows[1][2]);
  TickAt(10, 2, 0);
  EXPECT_EQ(ListChanges(), 1);
}

TEST_F(SchedulerTest, ZeroPeriodChangesAtEveryTick) {
  PeriodRule("00", "00");
  c.PreviousSetWallpaper = EncodeDateTime(2026, 12, 8, 9, 59, 0);
  for (int minute = 0; minute < 5; ++minute) TickAt(10, minute, 0);
  EXPECT_EQ(ListChanges(), 5);
}

TEST_F(SchedulerTest, ListAtTimeRuleFiresInItsMinuteAndIgnoresThePeriodLists) {
  FromListMode();
  f.Check(f.RadioButton6);
  Choose(f.ComboBox6, "13");
  Choose(f.ComboBox7, "00");
  f.ComboBox8.Select(-1);  // an unusable period must not matter here
  c.PreviousSetWallpaper = 0.0;
  TickAt(12, 59, 30);
  EXPECT_EQ(ListChanges(), 0);
  TickAt(13, 0, 30);
  EXPECT_EQ(ListChanges(), 1);
  TickAt(13, 1, 30);
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(dailyUpdates, 0);
  EXPECT_EQ(Log().find("No period"), std::string::npos);
}

TEST_F(SchedulerTest, HourTwentyFourIsMidnight) {
  f.TabSheet1.highlighted = f.TabSheet2.highlighted = true;
  f.CheckBox2.checked = true;
  Choose(f.ComboBox1, "24");
  Choose(f.ComboBox2, "00");
  f.Check(f.RadioButton6);
  Choose(f.ComboBox6, "24");
  Choose(f.ComboBox7, "00");
  for (int minute = 0; minute < 24 * 60; ++minute) TickAt(minute / 60, minute % 60, 5);
  EXPECT_EQ(dailyUpdates, 1);  // at 00:00 alone
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(FormatHourMinute(EncodeDateTime(2026, 12, 9, 0, 0, 0)), "00:00");
  EXPECT_EQ(FormatHourMinute(EncodeDateTime(2026, 12, 8, 23, 59, 59, 999)), "23:59");
}

TEST_F(SchedulerTest, PeriodRunsAcrossMidnightAndWaitsWhenTheClockWasSetBack) {
  PeriodRule("00", "20");
  c.PreviousSetWallpaper = EncodeDateTime(2026, 12, 8, 23, 50, 0);
  TickAt(0, 9, 59, 9);
  EXPECT_EQ(ListChanges(), 0);
  TickAt(0, 10, 0, 9);
  EXPECT_EQ(ListChanges(), 1);

  // The last change lies an hour ahead of the clock: the rule waits for the period from then.
  c.PreviousSetWallpaper = EncodeDateTime(2026, 12, 9, 12, 0, 0);
  for (int minute = 0; minute < 80; ++minute) TickAt(11 + minute / 60, minute % 60, 0, 9);
  EXPECT_EQ(ListChanges(), 1);
  TickAt(12, 20, 0, 9);
  EXPECT_EQ(ListChanges(), 2);
}

TEST_F(SchedulerTest, PeriodWithoutAChoiceIsSkippedAndExplainedOnce) {
  PeriodRule("00", "20");
  f.ComboBox9.Select(-1);
  c.PreviousSetWallpaper = 0.0;
  for (int minute = 0; minute < 5; ++minute) EXPECT_NO_THROW(TickAt(10, minute, 0));
  EXPECT_EQ(ListChanges(), 0);
  EXPECT_EQ(Count(Log(), "NOTICE No period is chosen"), 1);

  Choose(f.ComboBox9, "20");
  TickAt(10, 6, 0);
  EXPECT_EQ(ListChanges(), 1);
  // Losing the choice again is explained again.
  f.ComboBox8.Select(-1);
  TickAt(10, 40, 0);
  TickAt(10, 41, 0);
  EXPECT_EQ(Count(Log(), "NOTICE No period is chosen"), 2);
  EXPECT_EQ(ListChanges(), 1);
}

TEST_F(SchedulerTest, ModeIsReadAtEveryTick) {
  PeriodRule("00", "00");
  f.CheckBox2.checked = true;
  Choose(f.ComboBox1, "10");
  Choose(f.ComboBox2, "00");
  TickAt(10, 0, 0);
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(dailyUpdates, 0);
  PictureOfTheDayMode();
  TickAt(10, 0, 50);
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(dailyUpdates, 1);
  f.TabSheet1.highlighted = false;
  TickAt(10, 0, 55);
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(dailyUpdates, 1);
}

TEST_F(SchedulerTest, TickDuringARunningChangeStartsNoSecondOne) {
  PeriodRule("00", "00");
  ChangeGuard running(c);
  TickAt(10, 0, 0);
  EXPECT_EQ(ListChanges(), 0);
  EXPECT_EQ(Log().find("Установка картинки"), std::string::npos);
}

TEST_F(SchedulerTest, DecodingErrorOfAScheduledChangeReachesTheCaller) {
  PeriodRule("00", "00");
  f.FileGrid.rows = {MakeListRow(app.dir.WriteFile("bad.jpg", "\xFF\xD8garbage"), "")};
  f.FileGrid.SelectRows(0, 0);
  EXPECT_ANY_THROW(TickAt(10, 0, 0));
  EXPECT_FALSE(c.changeRunning);
  EXPECT_EQ(f.trayIconIndex, 2);
}

TEST_F(SchedulerTest, NoNetworkAtStartUpIsTriedAgainWhenItIsBackWithLongerWaits) {
  PictureOfTheDayMode();
  f.CheckBox2.checked = false;
  app.clock.Set(2026, 12, 8, 9, 0, 0);
  scheduler.StartUpUpdateEnded(c, DailyUpdateOutcome::ConnectFailed);
  // While nothing says the network is back, nothing is tried.
  for (int minute = 1; minute < 30; ++minute) TickAt(9, minute, 0);
  EXPECT_EQ(dailyUpdates, 0);

  outcomes = {DailyUpdateOutcome::ConnectFailed};
  app.clock.Set(2026, 12, 8, 9, 30, 20);
  scheduler.NetworkChanged(c);  // the first wait (1 minute) is over: tried at once, still down
  EXPECT_EQ(dailyUpdates, 1);
  app.clock.Set(2026, 12, 8, 9, 31, 0);
  scheduler.NetworkChanged(c);  // within the second wait (2 minutes)
  TickAt(9, 32, 0);
  EXPECT_EQ(dailyUpdates, 1);
  TickAt(9, 33, 0);  // the wait is over and the network was reported back meanwhile
  EXPECT_EQ(dailyUpdates, 2);
  app.clock.Set(2026, 12, 8, 9, 40, 0);
  scheduler.NetworkChanged(c);  // it succeeded: nothing more
  EXPECT_EQ(dailyUpdates, 2);
  EXPECT_EQ(Count(Log(), "NOTICE " + c.Phrase("networkback")), 2);
  EXPECT_EQ(Count(Log(), "NOTICE " + c.Phrase("retrylater") + " 1\n"), 1);
  EXPECT_EQ(Count(Log(), "NOTICE " + c.Phrase("retrylater") + " 2\n"), 1);

  // The waits double up to an hour; the retry ends with the day.
  scheduler.StartUpUpdateEnded(c, DailyUpdateOutcome::ConnectFailed);
  for (int i = 0; i < 7; ++i) {
    outcomes = {DailyUpdateOutcome::ConnectFailed};
    app.clock.now += 61.0 / 1440;
    scheduler.NetworkChanged(c);
  }
  EXPECT_EQ(dailyUpdates, 9);
  for (const char* wait : {" 4\n", " 8\n", " 16\n", " 32\n"})
    EXPECT_EQ(Count(Log(), c.Phrase("retrylater") + wait), 1) << wait;
  EXPECT_EQ(Count(Log(), c.Phrase("retrylater") + " 60\n"), 2);
  app.clock.Set(2026, 12, 9, 0, 5, 0);
  scheduler.NetworkChanged(c);
  EXPECT_EQ(dailyUpdates, 9);
}

TEST_F(SchedulerTest, AChangeTimePassedInSleepOrWhileNotRunningChangesOnce) {
  PictureOfTheDayMode();
  f.CheckBox2.checked = true;
  Choose(f.ComboBox1, "14");
  Choose(f.ComboBox2, "00");
  TickAt(13, 58, 0);
  app.clock.Set(2026, 12, 8, 15, 30, 0);  // asleep from 13:58 to 15:30
  scheduler.Resumed(c);
  EXPECT_EQ(dailyUpdates, 1);
  EXPECT_EQ(Count(Log(), "NOTICE " + c.Phrase("missedchange")), 1);
  scheduler.Resumed(c);  // the second report of the same resume
  TickAt(15, 31, 0);
  TickAt(15, 32, 0);
  EXPECT_EQ(dailyUpdates, 1);

  // From the list at 13:00: a tick long after the last one makes up for it, once.
  FromListMode();
  f.Check(f.RadioButton6);
  Choose(f.ComboBox6, "13");
  Choose(f.ComboBox7, "00");
  TickAt(12, 50, 0, 9);
  TickAt(16, 0, 0, 9);
  TickAt(16, 1, 0, 9);
  EXPECT_EQ(ListChanges(), 1);
  EXPECT_EQ(Count(Log(), "NOTICE " + c.Phrase("missedchange")), 2);

  // At start-up: the last change was before yesterday's 13:00.
  c.PreviousSetWallpaper = EncodeDateTime(2026, 12, 9, 16, 0, 0) - 1.5;
  app.clock.Set(2026, 12, 10, 9, 0, 0);
  scheduler.StartedUp(c, true);  // a change at start-up ran: nothing to make up for
  EXPECT_EQ(ListChanges(), 1);
  scheduler.StartedUp(c, false);
  EXPECT_EQ(ListChanges(), 2);
  scheduler.StartedUp(c, false);  // PreviousSetWallpaper is now
  EXPECT_EQ(ListChanges(), 2);
}

TEST(WindowScheduler, TickOfTheWindowRunsTheRealListChange) {
  TestApp app;
  AppContext& c = app.ctx();
  const std::string path = app.dir.Path() + "only.jpg";
  testing::WriteTestJpeg(path, 32, 24);
  c.form.FileGrid.rows = {MakeListRow(path, "32x24")};
  c.form.TabSheet2.highlighted = true;
  c.form.Check(c.form.RadioButton7);
  Choose(c.form.ComboBox8, "01");
  Choose(c.form.ComboBox9, "00");
  c.PreviousSetWallpaper = 0.0;
  Scheduler windowScheduler;  // with the real change procedures
  windowScheduler.Tick(c);
  EXPECT_EQ(app.desktop.wallpaper, c.DataDir + "wallpaper1.bmp");
  EXPECT_EQ(c.CurrentWallpaper, path);
  windowScheduler.Tick(c);
  EXPECT_EQ(app.desktop.calls, 1);
}

}  // namespace
}  // namespace dova
