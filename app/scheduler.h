// The once-a-minute decision whether the wallpaper changes now. Two rules, read from the
// controls at every tick: the at-time rule ("hh:nn" of the clock equals the chosen hour and
// minute) in either mode, and in the from-list mode the period rule (the chosen hours and
// minutes have passed since PreviousSetWallpaper, or no wallpaper was ever applied).
#pragma once

#include <functional>
#include <string>

#include "form/app_context.h"

namespace dova {

// What a tick may start.
struct SchedulerActions {
  std::function<void(AppContext&)> dailyUpdate;  // the picture of the day, not forced
  std::function<void(AppContext&)> listChange;   // the from-list change
};

// DailyPictureUpdate(context, false) and N1Click.
SchedulerActions DefaultSchedulerActions();

class Scheduler {
 public:
  explicit Scheduler(SchedulerActions actions = DefaultSchedulerActions());

  // One tick (Timer1Timer). Picture-of-the-day mode (TabSheet1 highlighted): with CheckBox2 on
  // and the clock's "hh:nn" equal to ComboBox1 ":" ComboBox2, logs "frominternet" and runs the
  // daily update. From-list mode (TabSheet2 highlighted): with RadioButton6 the at-time rule on
  // ComboBox6 ":" ComboBox7, otherwise the period rule on ComboBox8 hours and ComboBox9
  // minutes; when either fires, the from-list change runs. A period list without a choice skips
  // the period rule; the first such tick writes a Notice line saying why. Errors of the changes
  // propagate to the caller.
  void Tick(AppContext& context);

 private:
  SchedulerActions actions_;
  bool periodNoticeWritten_ = false;
};

// The clock as "hh:nn", hours 00 to 23.
std::string FormatHourMinute(double dateTime);

}  // namespace dova
