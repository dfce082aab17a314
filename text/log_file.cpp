#include "text/log_file.h"

#include "platform/file_system.h"

namespace dova {

void LogFile::Open(const std::string& path) {
  Close();
  const std::string backup = path + "~";
  if (FileExists(path)) {
    if (FileExists(backup)) RemoveFile(backup);
    RenameFile(path, backup);
  }
  // Text mode: on Windows every line ends in CR LF.
  stream_ = OpenFile(path, "w");
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
  const std::string line = FormatLine(clock_.Now(), level, text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stream_);
  std::fflush(stream_);
}

void LogFile::Close() {
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
}

}  // namespace dova
