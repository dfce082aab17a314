// The user's start-up programs in the registry.
#include "platform/startup_entries.h"
#include "platform/win32/registry.h"

namespace dova {

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSwitchKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

class RegistryStartupEntries : public StartupEntries {
 public:
  bool ReadCommand(const std::string& name, std::string& command) override {
    return UserRegistryKey::OpenForReading(kRunKey).GetString(name, command);
  }
  void WriteCommand(const std::string& name, const std::string& command) override {
    UserRegistryKey::Create(kRunKey).SetString(name, command);
  }
  void RemoveCommand(const std::string& name) override {
    UserRegistryKey::OpenExisting(kRunKey).DeleteValue(name);
  }
  bool ReadSwitch(const std::string& name, std::string& bytes) override {
    return UserRegistryKey::OpenForReading(kSwitchKey).GetBinary(name, bytes);
  }
  void WriteSwitch(const std::string& name, const std::string& bytes) override {
    UserRegistryKey::Create(kSwitchKey).SetBinary(name, bytes);
  }
  void RemoveSwitch(const std::string& name) override {
    UserRegistryKey::OpenExisting(kSwitchKey).DeleteValue(name);
  }
};

}  // namespace

StartupEntries& SystemStartupEntries() {
  static RegistryStartupEntries entries;
  return entries;
}

}  // namespace dova
