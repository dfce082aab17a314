// The local clock and the user's regional formats. Date-times are doubles counting days since
// 30 December 1899, the fraction being the time of day, in local time.
#pragma once

#include <cstdint>
#include <string>

namespace dova {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Now() = 0;                                   // local date-time
  virtual double UtcNow() = 0;                                // the same instant in UTC
  virtual std::string FormatShortDate(double dateTime) = 0;   // user's short date format
  virtual std::string FormatLongTime(double dateTime) = 0;    // user's long time format
  virtual char DecimalSeparator() = 0;                        // user's decimal separator
  virtual std::uint64_t SteadyMilliseconds() = 0;             // never goes back
  virtual void Sleep(unsigned milliseconds) = 0;
};

Clock& SystemClock();

// Date-time helpers shared by every Part.
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond = 0);
void DecodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond);
void DecodeDate(double dateTime, int& year, int& month, int& day);

}  // namespace dova
