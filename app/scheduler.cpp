#include "app/scheduler.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "online/daily_update.h"
#include "picturelist/picture_list.h"
#include "text/number_text.h"

namespace dova {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// The hour lists offer "24" for midnight (the picture-of-the-day list has no "00" at all), but
// the clock reads "00" then: taken literally, that choice would never come.
bool ClockShows(const std::string& now, const std::string& hour, const std::string& minute) {
  return now == (hour == "24" ? std::string("00") : hour) + ":" + minute;
}

}  // namespace

// A gap between ticks longer than this means ticks were missed.
constexpr double kMissedTicksGap = 2.0 / 1440;

// "hh" and "nn" of an hour and a minute list as a time of day, "24" standing for midnight.
std::optional<double> TimeOfDay(const std::string& hour, const std::string& minute) {
  int h = 0, m = 0;
  if (!ParseInteger(hour, h) || !ParseInteger(minute, m) || h < 0 || h > 24 || m < 0 || m > 59)
    return std::nullopt;
  return ((h % 24) * 60 + m) / 1440.0;
}

SchedulerActions DefaultSchedulerActions() {
  return {[](AppContext& context) { return DailyPictureUpdate(context, false); }, N1Click};
}

std::optional<double> LastScheduledMoment(const FormModel& form, double now) {
  std::optional<double> time;
  if (form.TabSheet1.highlighted && form.CheckBox2.checked)
    time = TimeOfDay(form.ComboBox1.Text(), form.ComboBox2.Text());
  else if (form.TabSheet2.highlighted && form.RadioButton6.checked)
    time = TimeOfDay(form.ComboBox6.Text(), form.ComboBox7.Text());
  if (!time) return std::nullopt;
  const double today = std::floor(now) + *time;
  return today <= now ? today : today - 1;
}

void Scheduler::RunDailyUpdate(AppContext& context) {
  retry_.Record(context, actions_.dailyUpdate(context));
}

bool Scheduler::RunMissedChange(AppContext& context, double since) {
  // Without a last change or tick there is no telling what was missed: a first run changes
  // only when its rules say so.
  if (since <= 0) return false;
  const double now = context.platform.clock.Now();
  const std::optional<double> moment = LastScheduledMoment(context.form, now);
  // In the current minute the rule itself fires.
  if (!moment || *moment <= since || FormatHourMinute(*moment) == FormatHourMinute(now))
    return false;
  context.log.Write(LogLevel::Notice, context.Phrase("missedchange"));
  if (context.form.TabSheet1.highlighted)
    RunDailyUpdate(context);
  else
    actions_.listChange(context);
  return true;
}

void Scheduler::RunDueRetry(AppContext& context) {
  if (!retry_.Due(context)) return;
  context.log.Write(LogLevel::Notice, context.Phrase("networkback"));
  RunDailyUpdate(context);
}

void Scheduler::StartUpUpdateEnded(AppContext& context, DailyUpdateOutcome outcome) {
  retry_.Record(context, outcome);
}

void Scheduler::StartedUp(AppContext& context, bool changedAtStartUp) {
  if (!changedAtStartUp) RunMissedChange(context, context.PreviousSetWallpaper);
  lastTick_ = context.platform.clock.Now();
}

void Scheduler::Resumed(AppContext& context) {
  RunMissedChange(context, lastTick_ != 0 ? lastTick_ : context.PreviousSetWallpaper);
  lastTick_ = context.platform.clock.Now();
}

void Scheduler::NetworkChanged(AppContext& context) {
  retry_.NetworkChanged();
  RunDueRetry(context);
}

Scheduler::Scheduler(SchedulerActions actions) : actions_(std::move(actions)) {}

std::string FormatHourMinute(double dateTime) {
  int hour, minute, second, millisecond;
  DecodeTime(dateTime, hour, minute, second, millisecond);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

void Scheduler::Tick(AppContext& context) {
  FormModel& form = context.form;
  const double tickTime = context.platform.clock.Now();
  const bool madeUp = lastTick_ != 0 && tickTime - lastTick_ > kMissedTicksGap &&
                      RunMissedChange(context, lastTick_);
  lastTick_ = tickTime;
  if (madeUp) return;
  RunDueRetry(context);

  if (form.TabSheet1.highlighted) {
    const std::string now = FormatHourMinute(context.platform.clock.Now());
    if (form.CheckBox2.checked && ClockShows(now, form.ComboBox1.Text(), form.ComboBox2.Text())) {
      context.log.Write(LogLevel::Notice, context.Phrase("frominternet"));
      RunDailyUpdate(context);
    }
  }

  if (form.TabSheet2.highlighted) {
    bool change = false;
    const double now = context.platform.clock.Now();
    if (form.RadioButton6.checked) {
      change = ClockShows(FormatHourMinute(now), form.ComboBox6.Text(), form.ComboBox7.Text());
    } else {
      int hours = 0, minutes = 0;
      if (!ParseInteger(form.ComboBox8.Text(), hours) ||
          !ParseInteger(form.ComboBox9.Text(), minutes)) {
        if (!periodNoticeWritten_)
          context.log.Write(LogLevel::Notice,
                            "No period is chosen (hours or minutes list empty): the wallpaper "
                            "will not change by period until one is chosen");
        periodNoticeWritten_ = true;
      } else {
        periodNoticeWritten_ = false;
        // Compared in whole milliseconds, the clock's resolution, so that a tick exactly one
        // period after the last change is not lost to the rounding of date-time differences.
        const double periodMs = (hours * 3600.0 + minutes * 60.0) * 1000.0;
        const double elapsedMs =
            std::round((now - context.PreviousSetWallpaper) * kMillisecondsPerDay);
        change = elapsedMs >= periodMs || context.PreviousSetWallpaper == 0.0;
      }
    }
    if (change) actions_.listChange(context);
  }
}

}  // namespace dova
