#include "platform/file_dialog_text.h"

#include <cstring>

namespace dova {

std::string FilterForDialog(const std::string& filter) {
  std::string result = filter;
  for (char& c : result)
    if (c == '|') c = '\0';
  result.push_back('\0');
  result.push_back('\0');
  return result;
}

std::vector<std::string> SplitDialogSelection(const char* buffer, std::size_t size) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < size && buffer[i] != '\0') {
    const std::size_t length = strnlen(buffer + i, size - i);
    parts.emplace_back(buffer + i, length);
    i += length + 1;
  }
  if (parts.size() <= 1) return parts;

  const std::string directory = parts.front();
  const bool endsWithSeparator = !directory.empty() && directory.back() == '\\';
  std::vector<std::string> files;
  files.reserve(parts.size() - 1);
  for (std::size_t k = 1; k < parts.size(); ++k)
    files.push_back(directory + (endsWithSeparator ? "" : "\\") + parts[k]);
  return files;
}

}  // namespace dova
