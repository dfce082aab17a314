// The once-a-minute decision whether the wallpaper changes now. Two rules, read from the
// controls at every tick: the at-time rule ("hh:nn" of the clock equals the chosen hour and
// minute) in either mode, and in the from-list mode the period rule (the chosen hours and
// minutes have passed since PreviousSetWallpaper, or no wallpaper was ever applied).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/network_retry.h"
#include "form/app_context.h"
#include "online/daily_update.h"

namespace dova {

// What a tick may start.
struct SchedulerActions {
  std::function<DailyUpdateOutcome(AppContext&)> dailyUpdate;  // picture of the day, not forced
  std::function<void(AppContext&)> listChange;                 // the from-list change
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
  //
  // A tick that comes more than two minutes after the one before (the machine slept, the GUI
  // thread was held up) first makes up for an at-time change whose moment fell in between, and
  // a due network retry runs before the rules.
  void Tick(AppContext& context);

  // What the change at start-up gave, when it ran the picture of the day: a run that could not
  // reach the channel is tried again when the network is back (see NetworkRetry).
  void StartUpUpdateEnded(AppContext& context, DailyUpdateOutcome outcome);
  // After the start-up sequence: unless a change at start-up ran, the at-time change of the
  // current mode whose moment passed since PreviousSetWallpaper (when there is one) runs once.
  void StartedUp(AppContext& context, bool changedAtStartUp);
  // The machine resumed from sleep: the at-time change whose moment passed since the last tick
  // runs once, now rather than at the next tick.
  void Resumed(AppContext& context);
  // The system reported a change of the network: a due retry runs now.
  void NetworkChanged(AppContext& context);

 private:
  // Runs the at-time change of the current mode, with the "missedchange" Notice, when its last
  // moment lies after `since` and before the current minute. True when it ran.
  bool RunMissedChange(AppContext& context, double since);
  void RunDueRetry(AppContext& context);
  void RunDailyUpdate(AppContext& context);

  SchedulerActions actions_;
  NetworkRetry retry_;
  double lastTick_ = 0;  // local date-time of the last tick (or start-up, or resume)
  bool periodNoticeWritten_ = false;
};

// The clock as "hh:nn", hours 00 to 23.
std::string FormatHourMinute(double dateTime);

// The last moment at or before `now` at which the current mode's at-time rule fires (today's or
// yesterday's hh:nn): nothing when the mode has no such rule on, or its hour or minute is unset.
std::optional<double> LastScheduledMoment(const FormModel& form, double now);

}  // namespace dova
