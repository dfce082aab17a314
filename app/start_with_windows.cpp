#include "app/start_with_windows.h"

#include <cctype>

namespace dova {

const char kStartupEntryName[] = "Dova Wallpaper Changer";

namespace {

// The switch of an entry that is on: 2, then eleven zero bytes (the time it was turned off,
// none). An odd first byte means off.
const std::string kSwitchedOn("\x02\0\0\0\0\0\0\0\0\0\0\0", 12);

bool SwitchedOff(StartupEntries& entries) {
  std::string bytes;
  return entries.ReadSwitch(kStartupEntryName, bytes) && !bytes.empty() &&
         (static_cast<unsigned char>(bytes[0]) & 1) != 0;
}

// Windows paths name the same file whatever the case of their ASCII letters and slashes.
bool SameProgram(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] == '/' ? '\\' : a[i], y = b[i] == '/' ? '\\' : b[i];
    if (std::tolower(static_cast<unsigned char>(x)) != std::tolower(static_cast<unsigned char>(y)))
      return false;
  }
  return true;
}

}  // namespace

std::string StartupCommand(const std::string& executablePath) {
  return "\"" + executablePath + "\" minimized";
}

std::string ProgramOfCommand(const std::string& command) {
  std::size_t start = command.find_first_not_of(" \t");
  if (start == std::string::npos) return std::string();
  if (command[start] == '"') {
    const std::size_t end = command.find('"', start + 1);
    return command.substr(start + 1,
                          end == std::string::npos ? std::string::npos : end - start - 1);
  }
  const std::size_t end = command.find_first_of(" \t", start);
  return command.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool StartsWithWindows(StartupEntries& entries, const std::string& executablePath) {
  std::string command;
  return entries.ReadCommand(kStartupEntryName, command) &&
         SameProgram(ProgramOfCommand(command), executablePath) && !SwitchedOff(entries);
}

void SetStartWithWindows(StartupEntries& entries, const std::string& executablePath, bool on) {
  if (on) {
    entries.WriteCommand(kStartupEntryName, StartupCommand(executablePath));
    // Turned on by the user's own click: only then is a switch the user set changed.
    if (SwitchedOff(entries)) entries.WriteSwitch(kStartupEntryName, kSwitchedOn);
  } else {
    entries.RemoveCommand(kStartupEntryName);
    entries.RemoveSwitch(kStartupEntryName);
  }
}

void ShowStartWithWindows(AppContext& context) {
  context.form.CheckBox8.checked =
      StartsWithWindows(context.platform.startup, context.ExecutablePath);
}

}  // namespace dova
