#include "app/scheduler.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "text/number_text.h"
#include "online/daily_update.h"
#include "picturelist/picture_list.h"

namespace dova {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// The hour lists offer "24" for midnight (the picture-of-the-day list has no "00" at all), but
// the clock reads "00" then: taken literally, that choice would never come.
bool ClockShows(const std::string& now, const std::string& hour, const std::string& minute) {
  return now == (hour == "24" ? std::string("00") : hour) + ":" + minute;
}

}  // namespace

SchedulerActions DefaultSchedulerActions() {
  return {[](AppContext& context) { DailyPictureUpdate(context, false); }, N1Click};
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

  if (form.TabSheet1.highlighted) {
    const std::string now = FormatHourMinute(context.platform.clock.Now());
    if (form.CheckBox2.checked && ClockShows(now, form.ComboBox1.Text(), form.ComboBox2.Text())) {
      context.log.Write(LogLevel::Notice, context.Phrase("frominternet"));
      actions_.dailyUpdate(context);
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
