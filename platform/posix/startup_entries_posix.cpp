// Outside Windows no session starts programs: the entries are kept in the INI file
// "startup.ini" in the directory DOVA_DESKTOP_DIR (the working directory when unset), so that
// native runs can be checked:
//   [Run]    <name>=<command line>
//   [Switch] <name>=<the switch's bytes in hexadecimal>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/startup_entries.h"

namespace dova {

namespace {

std::string EntriesFilePath() {
  const char* dir = std::getenv("DOVA_DESKTOP_DIR");
  std::string path = dir ? dir : "";
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '\\';
  return path + "startup.ini";
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const char c : bytes) {
    text += kDigits[static_cast<unsigned char>(c) >> 4];
    text += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return text;
}

std::string Bytes(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
  return bytes;
}

// The INI file cannot hold a missing value apart from an empty one: a removed entry is stored
// empty, and an empty command reads as none.
class FileStartupEntries : public StartupEntries {
 public:
  bool ReadCommand(const std::string& name, std::string& command) override {
    command = File()->ReadString("Run", name, "");
    return !command.empty();
  }
  void WriteCommand(const std::string& name, const std::string& command) override {
    Write("Run", name, command);
  }
  void RemoveCommand(const std::string& name) override { Write("Run", name, ""); }
  bool ReadSwitch(const std::string& name, std::string& bytes) override {
    bytes = Bytes(File()->ReadString("Switch", name, ""));
    return !bytes.empty();
  }
  void WriteSwitch(const std::string& name, const std::string& bytes) override {
    Write("Switch", name, Hex(bytes));
  }
  void RemoveSwitch(const std::string& name) override { Write("Switch", name, ""); }

 private:
  static std::unique_ptr<IniFile> File() { return OpenPortableIniFile(EntriesFilePath()); }
  static void Write(const char* section, const std::string& name, const std::string& value) {
    std::unique_ptr<IniFile> file = File();
    if (!file->WriteString(section, name, value)) throw Error("Unable to write to " + file->Path());
  }
};

}  // namespace

StartupEntries& SystemStartupEntries() {
  static FileStartupEntries entries;
  return entries;
}

}  // namespace dova
