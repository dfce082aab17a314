#include "platform/command_line.h"

namespace dova {

std::string CommandLineTail(const std::string& commandLine) {
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  if (n > 0 && commandLine[0] == '"') {
    i = commandLine.find('"', 1);
    i = i == std::string::npos ? n : i + 1;
  } else {
    while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return commandLine.substr(i);
}

bool AsksToStartMinimized(const std::string& arguments) {
  std::size_t first = 0, last = arguments.size();
  while (first < last && static_cast<unsigned char>(arguments[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(arguments[last - 1]) <= ' ') --last;
  return arguments.compare(first, last - first, "minimized") == 0;
}

}  // namespace dova
