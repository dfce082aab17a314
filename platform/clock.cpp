// Date-time doubles: whole days since 30 December 1899 plus the fraction of the day. Dates
// before that day count backwards with the time still added forwards (-1.25 is 29 December
// 1899, 06:00), as in the Delphi and OLE automation date types.
#include <cmath>
#include <cstdint>

#include "platform/clock.h"
#include "platform/error.h"

namespace dova {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDay = 25569;  // 1 January 1970

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The date-time rounded to the millisecond, split into days since 30 December 1899 and
// milliseconds of the day. Rounding first keeps date and time consistent: 23:59:59.9999 is the
// next day's midnight in both.
void Split(double dateTime, std::int64_t& days, std::int64_t& msOfDay) {
  // Outside the years 1 to 9999 (and for NaN) the value is no date; read it as day 0.
  if (!(std::fabs(dateTime) < 3000000.0)) dateTime = 0;
  const std::int64_t ms = std::llround(dateTime * static_cast<double>(kMsPerDay));
  days = ms / kMsPerDay;
  msOfDay = (ms < 0 ? -ms : ms) % kMsPerDay;
}

}  // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    throw Error("Invalid argument to date encode");
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    throw Error("Invalid argument to time encode");
  const double date =
      static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                        static_cast<unsigned>(day)) + kUnixEpochDay);
  const double time =
      static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) /
      static_cast<double>(kMsPerDay);
  return date < 0 ? date - time : date + time;
}

void DecodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond) {
  std::int64_t days, ms;
  Split(dateTime, days, ms);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

void DecodeDate(double dateTime, int& year, int& month, int& day) {
  std::int64_t days, ms;
  Split(dateTime, days, ms);
  CivilFromDays(days - kUnixEpochDay, year, month, day);
}

}  // namespace dova
