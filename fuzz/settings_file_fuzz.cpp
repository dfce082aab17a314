// dova.ini as the user, an older version or a broken disk left it: the channels and every
// setting are read into the window and written back at exit. Reading what was written and
// writing it again must give the same file: a setting that changes from one run to the next
// would drift away from what the user chose.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "form/channel_catalogue.h"
#include "form/settings_store.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_program.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/ini_file_update.h"
#include "platform/stored_text.h"

namespace {

// One run of the program over `source`: the start-up reads, and the save at exit into `target`,
// a copy of `source` as the program's own file would be.
std::string LoadAndSave(const std::string& source, const std::string& target) {
  dova::testing::TestApp& app = dova::FuzzProgram();
  dova::AppContext context(app.context->platform);
  context.ProgramDir = app.ctx().ProgramDir;
  context.DataDir = app.ctx().DataDir;
  context.LanguagesDir = app.ctx().LanguagesDir;
  // As the program reads it: in the ANSI code page, or UTF-8 behind the byte order mark.
  std::unique_ptr<dova::IniFile> ini = dova::OpenStoredIniFile(source);
  context.channels.Load(*ini);
  dova::SettingsStore settings;
  settings.Load(*ini, context);

  std::string stored;
  dova::FuzzCheck(dova::ReadWholeFile(source, stored), "the settings cannot be read");
  dova::WriteFuzzFile(target, stored);
  dova::IniFileUpdate update(target);
  context.channels.Save(update.File());
  dova::FuzzCheck(settings.Save(update.File(), context).empty(), "the settings were refused");
  dova::FuzzCheck(update.Commit(), "the settings were not written");
  std::string saved;
  dova::FuzzCheck(dova::ReadWholeFile(target, saved), "the settings cannot be read back");
  return saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string dataDir = dova::FuzzProgram().ctx().DataDir;
  dova::WriteFuzzFile(dataDir + "dova.ini", std::string(reinterpret_cast<const char*>(data), size));
  // [OffLine] Path becomes the current directory; the fuzzer's own paths are relative to it.
  const std::string currentDir = dova::GetCurrentDir();
  const std::string first = LoadAndSave(dataDir + "dova.ini", dataDir + "saved1.ini");
  const std::string second = LoadAndSave(dataDir + "saved1.ini", dataDir + "saved2.ini");
  dova::SetCurrentDir(currentDir);
  if (first != second) {
    std::fprintf(stderr, "first save:\n%s\nsecond save:\n%s\n", first.c_str(), second.c_str());
    dova::FuzzFailure("the settings change from one run to the next");
  }
  return 0;
}
