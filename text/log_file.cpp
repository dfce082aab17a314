#include "text/log_file.h"

#include "platform/file_system.h"
#include "platform/unicode_text.h"

namespace dova {

void LogFile::Open(const std::string& path) {
  Close();
  const std::string backup = path + "~";
  if (FileExists(path)) {
    if (FileExists(backup)) RemoveFile(backup);
    RenameFile(path, backup);
  }
  // Text mode: on Windows every line ends in CR LF. A previous journal that could not be moved
  // aside is kept whole, with this run's lines after it. The texts are UTF-8; a new journal
  // begins with the byte order mark that says so to the editors that open it.
  const bool kept = FileExists(path);
  stream_ = OpenFile(path, kept ? "a" : "w");
  lineBroken_ = false;
  if (stream_ && !kept) {
    std::fputs(kUtf8Bom, stream_);
    std::fflush(stream_);
  }
}

std::string LogFile::FormatLine(double dateTime, LogLevel level, const std::string& text) {
  int hour, minute, second, millisecond;
  DecodeTime(dateTime, hour, minute, second, millisecond);
  std::string line = clock_.FormatShortDate(dateTime);
  if (hour != 0 || minute != 0 || second != 0) line += " " + clock_.FormatLongTime(dateTime);
  line += level == LogLevel::Notice ? " NOTICE " : " ERROR  ";
  line += text;
  return line;
}

void LogFile::Write(LogLevel level, const std::string& text) {
  if (!stream_) return;
  std::string line = FormatLine(clock_.Now(), level, text) + "\n";
  // A write that failed may have stopped part-way through its line: the next starts afresh.
  if (lineBroken_) line.insert(0, "\n");
  const bool written = std::fwrite(line.data(), 1, line.size(), stream_) == line.size();
  const bool flushed = std::fflush(stream_) == 0;
  lineBroken_ = !written || !flushed;
  if (lineBroken_) std::clearerr(stream_);
}

void LogFile::Close() {
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
}

}  // namespace dova
