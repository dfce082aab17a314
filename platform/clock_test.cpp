// Date-time doubles and the system clock.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/error.h"

namespace dova {
namespace {

TEST(DateTime, EncodesDaysSince30December1899) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeDateTime(1900, 1, 1, 0, 0, 0), 2.0);
  EXPECT_EQ(EncodeDateTime(2000, 1, 1, 0, 0, 0), 36526.0);
  EXPECT_EQ(EncodeDateTime(2024, 2, 29, 18, 0, 0), 45351.75);
  EXPECT_NEAR(EncodeDateTime(2026, 12, 8, 14, 7, 5), 46364.58825231482, 1e-9);
  EXPECT_NEAR(EncodeDateTime(2026, 12, 8, 14, 7, 5, 500) - EncodeDateTime(2026, 12, 8, 14, 7, 5),
              0.5 / 86400, 1e-11);
  EXPECT_EQ(EncodeDateTime(1600, 3, 1, 0, 0, 0), -109511.0);
  EXPECT_EQ(EncodeDateTime(9999, 12, 31, 0, 0, 0), 2958465.0);
  // Before the base day the time of day still counts forwards.
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
}

TEST(DateTime, DecodesWhatItEncodes) {
  for (int year : {1, 1600, 1899, 1900, 1999, 2000, 2024, 2100, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, 28}) {
        const double value = EncodeDateTime(year, month, day, 23, 59, 58, 999);
        int y, m, d, h, n, s, ms;
        DecodeDate(value, y, m, d);
        DecodeTime(value, h, n, s, ms);
        EXPECT_EQ(y * 10000 + m * 100 + d, year * 10000 + month * 100 + day) << value;
        EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235958999) << value;
      }
    }
  }
  int y, m, d, h, n, s, ms;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
}

TEST(DateTime, RoundsToTheMillisecondWithDateAndTimeInStep) {
  // Half a millisecond before midnight is midnight of the next day, in both halves.
  const double value = EncodeDateTime(2024, 12, 31, 0, 0, 0) + 1 - 0.4 / 86400000;
  int y, m, d, h, n, s, ms;
  DecodeDate(value, y, m, d);
  DecodeTime(value, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20250101);
  EXPECT_EQ(h + n + s + ms, 0);
  // Float noise around a whole second does not show as 59.999.
  DecodeTime(EncodeDateTime(2024, 1, 1, 13, 0, 0) - 1e-10, h, n, s, ms);
  EXPECT_EQ(h * 10000 + n * 100 + s, 130000);
  EXPECT_EQ(ms, 0);
}

TEST(DateTime, LeapYearsFollowTheGregorianRules) {
  EXPECT_NO_THROW(EncodeDateTime(2024, 2, 29, 0, 0, 0));
  EXPECT_NO_THROW(EncodeDateTime(2000, 2, 29, 0, 0, 0));
  EXPECT_THROW(EncodeDateTime(1900, 2, 29, 0, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(2023, 2, 29, 0, 0, 0), Error);
  EXPECT_EQ(EncodeDateTime(2024, 3, 1, 0, 0, 0) - EncodeDateTime(2024, 2, 28, 0, 0, 0), 2.0);
  EXPECT_EQ(EncodeDateTime(2100, 3, 1, 0, 0, 0) - EncodeDateTime(2100, 2, 28, 0, 0, 0), 1.0);
}

TEST(DateTime, RejectsImpossibleDatesAndTimes) {
  EXPECT_THROW(EncodeDateTime(0, 1, 1, 0, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(10000, 1, 1, 0, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(2024, 13, 1, 0, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(2024, 4, 31, 0, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(2024, 1, 0, 0, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(2024, 1, 1, 24, 0, 0), Error);
  EXPECT_THROW(EncodeDateTime(2024, 1, 1, 0, 60, 0), Error);
  EXPECT_THROW(EncodeDateTime(2024, 1, 1, 0, 0, 60), Error);
  EXPECT_THROW(EncodeDateTime(2024, 1, 1, 0, 0, 0, 1000), Error);
  EXPECT_THROW(EncodeDateTime(2024, 1, 1, -1, 0, 0), Error);
  try {
    EncodeDateTime(2024, 13, 1, 0, 0, 0);
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Invalid argument to date encode");
  }
}

TEST(SystemClock, NowIsTheLocalTime) {
  const std::time_t before = std::time(nullptr);
  const double now = SystemClock().Now();
  const std::time_t after = std::time(nullptr);
  const std::tm local = *std::localtime(&before);
  const double expected = EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                         local.tm_hour, local.tm_min, local.tm_sec);
  EXPECT_GE(now, expected - 1e-9);
  EXPECT_LE(now, expected + (static_cast<double>(after - before) + 1) / 86400);
}

TEST(SystemClock, SteadyMillisecondsAdvanceAcrossSleep) {
  Clock& clock = SystemClock();
  const std::uint64_t start = clock.SteadyMilliseconds();
  clock.Sleep(60);
  const std::uint64_t end = clock.SteadyMilliseconds();
  // The Windows tick moves in steps of about 16 ms.
  EXPECT_GE(end - start, 40u);
  EXPECT_LT(end - start, 5000u);
  EXPECT_GE(clock.SteadyMilliseconds(), end);
}

TEST(SystemClock, FormatsDateAndTimeInTheUsersFormats) {
  Clock& clock = SystemClock();
  const double moment = EncodeDateTime(2024, 3, 9, 14, 7, 5);
#ifdef _WIN32
  // Whatever the user's formats: a four-digit year and no time in the date; minutes and
  // seconds but no year in the time.
  const std::string date = clock.FormatShortDate(moment);
  const std::string time = clock.FormatLongTime(moment);
  EXPECT_NE(date.find("2024"), std::string::npos) << date;
  EXPECT_EQ(date.find("07"), std::string::npos) << date;
  EXPECT_NE(time.find("07"), std::string::npos) << time;
  EXPECT_NE(time.find("05"), std::string::npos) << time;
  EXPECT_EQ(time.find("2024"), std::string::npos) << time;
  const char separator = clock.DecimalSeparator();
  EXPECT_TRUE(separator == '.' || separator == ',') << separator;
#else
  // The C locale's formats become ISO ones.
  const char* saved = std::getenv("LC_ALL");
  const std::string savedValue = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(clock.FormatShortDate(moment), "2024-03-09");
  EXPECT_EQ(clock.FormatLongTime(moment), "14:07:05");
  EXPECT_EQ(clock.FormatLongTime(EncodeDateTime(2024, 3, 9, 0, 0, 0)), "00:00:00");
  EXPECT_EQ(clock.FormatShortDate(EncodeDateTime(1899, 12, 29, 6, 0, 0)), "1899-12-29");
  EXPECT_EQ(clock.DecimalSeparator(), '.');
  if (saved)
    setenv("LC_ALL", savedValue.c_str(), 1);
  else
    unsetenv("LC_ALL");
#endif
}

}  // namespace
}  // namespace dova
