#include "tests/support/test_app.h"

#include "platform/file_system.h"

namespace dova::testing {

TestApp::TestApp() {
  context = std::make_unique<AppContext>(
      Platform{clock, screen, pump, errors, text, dialogs, help, desktop, window, startup});
  AppContext& c = *context;
  c.ProgramDir = dir.Path();
  c.DataDir = c.ProgramDir + "Sites\\";
  c.LanguagesDir = c.ProgramDir + "Languages\\";
  c.DefaultHelpFile = c.HelpFile = c.ProgramDir + "Dova.chm";
  CreateDirectoryPath(c.DataDir);
  CreateDirectoryPath(c.LanguagesDir);
  std::string english;
  if (ReadWholeFile(CorePath(DOVA_SOURCE_DIR "/Languages/English.ini"), english))
    dir.WriteFile("Languages\\English.ini", english);
  c.ScreenAspect = 1024.0 / 768.0;
  c.phrases.LoadPhrases(c.LanguagesDir + "English.ini");
}

}  // namespace dova::testing
