// The local clock and the regional formats of the environment's locale (LC_ALL, LC_TIME,
// LC_NUMERIC, LANG), looked up at each call so that a changed environment takes effect. The C
// locale's date has a two-digit year; it gets the ISO form (2026-12-08, 14:05:09) instead.
#include <langinfo.h>
#include <locale.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

#include "platform/clock.h"

namespace dova {

namespace {

// Owns a locale object of the environment for one category, or the C locale.
class EnvironmentLocale {
 public:
  explicit EnvironmentLocale(int mask) : locale_(newlocale(mask, "", static_cast<locale_t>(0))) {
    if (!locale_) locale_ = newlocale(mask, "C", static_cast<locale_t>(0));
  }
  ~EnvironmentLocale() {
    if (locale_) freelocale(locale_);
  }
  EnvironmentLocale(const EnvironmentLocale&) = delete;
  EnvironmentLocale& operator=(const EnvironmentLocale&) = delete;
  locale_t get() const { return locale_; }

 private:
  locale_t locale_;
};

std::tm ToTm(double dateTime) {
  std::tm tm{};
  int ms;
  DecodeDate(dateTime, tm.tm_year, tm.tm_mon, tm.tm_mday);
  DecodeTime(dateTime, tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
  // Day of the week and of the year for formats that show them.
  const double midnight = EncodeDateTime(tm.tm_year, tm.tm_mon, tm.tm_mday, 0, 0, 0);
  const long day = static_cast<long>(midnight);
  tm.tm_wday = static_cast<int>(((day - 1) % 7 + 7) % 7);  // 30 December 1899 was a Saturday
  tm.tm_yday = static_cast<int>(midnight - EncodeDateTime(tm.tm_year, 1, 1, 0, 0, 0));
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  tm.tm_isdst = -1;
  return tm;
}

std::string Format(double dateTime, nl_item item, const char* isoFormat) {
  EnvironmentLocale locale(LC_TIME_MASK);
  const locale_t loc = locale.get();
  const char* format = isoFormat;
  if (loc && std::strcmp(nl_langinfo_l(D_FMT, loc), "%m/%d/%y") != 0) {
    const char* own = nl_langinfo_l(item, loc);
    if (own && *own) format = own;
  }
  const std::tm tm = ToTm(dateTime);
  char text[256];
  const std::size_t length = loc ? strftime_l(text, sizeof text, format, &tm, loc)
                                 : std::strftime(text, sizeof text, format, &tm);
  return std::string(text, length);
}

class PosixClock : public Clock {
 public:
  double Now() override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                          static_cast<int>(now.tv_nsec / 1000000));
  }

  double UtcNow() override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    return EncodeDateTime(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                          utc.tm_sec > 59 ? 59 : utc.tm_sec,
                          static_cast<int>(now.tv_nsec / 1000000));
  }

  std::string FormatShortDate(double dateTime) override {
    return Format(dateTime, D_FMT, "%Y-%m-%d");
  }

  std::string FormatLongTime(double dateTime) override {
    return Format(dateTime, T_FMT, "%H:%M:%S");
  }

  char DecimalSeparator() override {
    EnvironmentLocale locale(LC_NUMERIC_MASK);
    const char* radix = locale.get() ? nl_langinfo_l(RADIXCHAR, locale.get()) : nullptr;
    return radix && radix[0] && !radix[1] ? radix[0] : '.';
  }

  std::uint64_t SteadyMilliseconds() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec / 1000000);
  }

  void Sleep(unsigned milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

}  // namespace

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace dova
