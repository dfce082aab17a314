#include "text/log_file.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/fake_platform.h"

namespace dova {
namespace {

using testing::FakeClock;
using testing::TempDir;

TEST(LogFile, LinesCarryDateTimeTagAndTextAndTheDateAloneAtMidnight) {
  TempDir dir;
  FakeClock clock;
  LogFile log(clock);
  log.Open(dir.Path() + "dova.log");
  clock.Set(2026, 12, 8, 14, 5, 9);
  log.Write(LogLevel::Notice, "start");
  clock.Set(2026, 12, 9, 0, 0, 0);
  log.Write(LogLevel::Error, "broken");
  log.Write(LogLevel::Notice, "");
  log.Write(LogLevel::Notice, "two\nlines");
  // Lines are on disk before the journal is closed.
  const std::string text = dir.ReadFile("dova.log");
#ifdef _WIN32
  const char* nl = "\r\n";
#else
  const char* nl = "\n";
#endif
  // UTF-8 with its byte order mark.
  EXPECT_EQ(text, std::string("\xEF\xBB\xBF" "08.12.2026 14:05:09 NOTICE start") + nl +
                      "09.12.2026 ERROR  broken" + nl + "09.12.2026 NOTICE " + nl +
                      "09.12.2026 NOTICE two" + nl + "lines" + nl);
}

TEST(LogFile, TextsBeyondAnyCodePageAreWrittenAsTheyAre) {
  TempDir dir;
  FakeClock clock;
  LogFile log(clock);
  log.Open(dir.Path() + "dova.log");
  clock.Set(2026, 12, 8, 14, 5, 9);
  log.Write(LogLevel::Notice, "Установка картинки C:\\Картинки\\山水画😀.jpg");
  log.Close();
  EXPECT_EQ(dir.ReadFile("dova.log").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(dir.ReadFile("dova.log").find("NOTICE Установка картинки C:\\Картинки\\山水画😀.jpg"),
            std::string::npos);
}

TEST(LogFile, ThreeStartsKeepTheLastTwoJournals) {
  TempDir dir;
  FakeClock clock;
  for (const char* run : {"first", "second", "third"}) {
    LogFile log(clock);
    log.Open(dir.Path() + "dova.log");
    log.Write(LogLevel::Notice, run);
  }
  EXPECT_NE(dir.ReadFile("dova.log").find("third"), std::string::npos);
  EXPECT_NE(dir.ReadFile("dova.log~").find("second"), std::string::npos);
  EXPECT_EQ(dir.ReadFile("dova.log~").find("first"), std::string::npos);
}

TEST(LogFile, NoJournalWhenTheDirectoryIsMissing) {
  TempDir dir;
  FakeClock clock;
  LogFile log(clock);
  log.Open(dir.Path() + "missing\\dova.log");
  EXPECT_FALSE(log.IsOpen());
  log.Write(LogLevel::Error, "nowhere");  // silently skipped
}

}  // namespace
}  // namespace dova
