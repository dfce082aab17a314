// The programs that start with the user's session, as Windows keeps them: a command line under a
// name in HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, and beside it the
// switch that the Task Manager's start-up list keeps for that name in
// ...\CurrentVersion\Explorer\StartupApproved\Run: a binary value whose first byte is odd when
// the user turned the entry off. No switch means the entry is on.
#pragma once

#include <string>

namespace dova {

class StartupEntries {
 public:
  virtual ~StartupEntries() = default;

  // The command line stored under `name`; false when there is none.
  virtual bool ReadCommand(const std::string& name, std::string& command) = 0;
  // Stores `command` under `name`. Throws dova::Error when the system refuses.
  virtual void WriteCommand(const std::string& name, const std::string& command) = 0;
  // Removes the command of `name`; none there is no failure. Throws when the system refuses.
  virtual void RemoveCommand(const std::string& name) = 0;

  // The bytes of the switch of `name`; false when there is none.
  virtual bool ReadSwitch(const std::string& name, std::string& bytes) = 0;
  // Stores the switch. Throws dova::Error when the system refuses.
  virtual void WriteSwitch(const std::string& name, const std::string& bytes) = 0;
  // Removes the switch; none there is no failure. Throws when the system refuses.
  virtual void RemoveSwitch(const std::string& name) = 0;
};

// The current user's entries: the registry on Windows; natively the file "startup.ini" in
// DOVA_DESKTOP_DIR (or the working directory), so that runs can be checked.
StartupEntries& SystemStartupEntries();

}  // namespace dova
