// The local clock and the user's regional formats from the Windows national language support,
// the formatted texts in UTF-8.
#include <windows.h>

#include <string>

#include "platform/clock.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

SYSTEMTIME ToSystemTime(double dateTime) {
  int year, month, day, hour, minute, second, millisecond;
  DecodeDate(dateTime, year, month, day);
  DecodeTime(dateTime, hour, minute, second, millisecond);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  time.wMilliseconds = static_cast<WORD>(millisecond);
  // 30 December 1899 (day 0) was a Saturday; the format functions may show the weekday.
  const long days = static_cast<long>(EncodeDateTime(year, month, day, 0, 0, 0));
  time.wDayOfWeek = static_cast<WORD>(((days + 6) % 7 + 7) % 7);
  return time;
}

class WindowsClock : public Clock {
 public:
  double Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                          now.wMilliseconds);
  }

  double UtcNow() override {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                          now.wMilliseconds);
  }

  std::string FormatShortDate(double dateTime) override {
    const SYSTEMTIME time = ToSystemTime(dateTime);
    wchar_t text[256];
    const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text,
                                      256);
    return length > 0 ? Utf8(std::wstring(text, length - 1)) : std::string();
  }

  std::string FormatLongTime(double dateTime) override {
    const SYSTEMTIME time = ToSystemTime(dateTime);
    wchar_t text[256];
    const int length = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, 256);
    return length > 0 ? Utf8(std::wstring(text, length - 1)) : std::string();
  }

  char DecimalSeparator() override {
    // The core's numbers take a one-byte separator; the rare one beyond ASCII reads as ".".
    wchar_t text[8] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 1 && text[0] < 0x80
               ? static_cast<char>(text[0])
               : '.';
  }

  std::uint64_t SteadyMilliseconds() override { return GetTickCount64(); }

  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Clock& SystemClock() {
  static WindowsClock clock;
  return clock;
}

}  // namespace dova
