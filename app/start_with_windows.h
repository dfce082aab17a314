// "Start with Windows" (CheckBox8 on the Options page): the user's start-up entry named
// "Dova Wallpaper Changer" that runs this copy of the program in the tray. The system's entries
// are the truth; the box only shows them and changes them when the user clicks it.
#pragma once

#include <string>

#include "form/app_context.h"
#include "platform/startup_entries.h"

namespace dova {

// The entry's name in the start-up list.
extern const char kStartupEntryName[];

// The command line the entry holds: the quoted full path of the program, then " minimized".
std::string StartupCommand(const std::string& executablePath);

// The program a command line starts: the text inside its leading quotes, or up to its first
// blank when it has none.
std::string ProgramOfCommand(const std::string& command);

// True when the entry is there, starts the program at `executablePath` (a copy elsewhere does
// not count) and the user has not turned it off in the start-up list.
bool StartsWithWindows(StartupEntries& entries, const std::string& executablePath);

// Checked: writes the entry for this copy and, when the user had turned it off in the start-up
// list, turns it on there again. Cleared: removes the entry and its switch. Throws dova::Error
// when the system refuses.
void SetStartWithWindows(StartupEntries& entries, const std::string& executablePath, bool on);

// CheckBox8 shows whether the user's start-up entry runs this copy (the context's
// ExecutablePath); the user may change the list meanwhile (the Task Manager, another copy).
void ShowStartWithWindows(AppContext& context);

}  // namespace dova
