// The journal of one run, "dova.log": UTF-8 with a byte order mark, one line per entry with the
// local date and time in the user's formats, a seven-character tag and the text, flushed at
// once. The previous run's journal survives once as "dova.log~".
#pragma once

#include <cstdio>
#include <string>

#include "platform/clock.h"

namespace dova {

enum class LogLevel { Notice = 0, Error = 1 };

class LogFile {
 public:
  explicit LogFile(Clock& clock) : clock_(clock) {}
  ~LogFile() { Close(); }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Moves an existing journal to path + "~" (replacing the old backup) and starts a new one.
  // When the journal cannot be moved aside, the new lines are appended to it rather than
  // emptying it. When the file cannot be opened the program runs without a journal, silently.
  void Open(const std::string& path);
  // Appends "<date> <time> NOTICE text" or "... ERROR  text"; at 00:00:00 the time is left out.
  // Does nothing without an open journal. Write failures are not reported (the journal is where
  // reports go); a line that failed part-way is followed by a line end before the next one.
  void Write(LogLevel level, const std::string& text);
  void Close();
  bool IsOpen() const { return stream_ != nullptr; }

  // The line Write would append at `dateTime`, without its line end.
  std::string FormatLine(double dateTime, LogLevel level, const std::string& text);

 private:
  Clock& clock_;
  std::FILE* stream_ = nullptr;
  bool lineBroken_ = false;  // the last write failed and may have left half a line
};

}  // namespace dova
