// The program's entry: one copy per session, the services, the main window hidden at first,
// the start-up sequence, the window shown unless the program starts in the tray, the message
// loop, and at the end the save sequence (destroying the form) and the help system's shutdown.
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "app/win32/main_window.h"
#include "app/win32/window_services.h"
#include "app/win32/window_single_instance.h"
#include "platform/clock.h"
#include "platform/command_line.h"
#include "platform/desktop.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/help_viewer_win32.h"
#include "platform/win32/wide_text.h"

namespace dova {
namespace {

int RunProgram() {
  const std::string arguments = CommandLineTail(Utf8(GetCommandLineW()));
  SingleInstance instance;
  if (!instance.IsFirst()) {
    if (!AsksToStartMinimized(arguments)) AskRunningCopyToOpen();
    return 0;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  MainWindow* shown = nullptr;
  const auto owner = [&shown]() -> HWND { return shown ? shown->Handle() : nullptr; };
  Win32Screen screen;
  Win32TextMeasure text;
  Win32ErrorBox errors(owner);
  Win32HelpViewer help(owner);
  Win32Dialogs dialogs(owner);
  MainWindow window(help);
  shown = &window;
  Platform platform{SystemClock(), screen, window,          errors, text,
                    dialogs,       help,   SystemDesktop(), window, SystemStartupEntries()};
  std::unique_ptr<TForm1> form;

  try {
    form = std::make_unique<TForm1>(platform, ExecutablePath(), arguments);
    // At log-off the process ends once the message is answered: save first.
    window.onEndSession = [&] {
      window.BeginShutdown();
      if (!form) return;
      if (window.InHandler()) {
        form->FormDestroy();  // a handler is still on the stack; the object must stay
      } else {
        form.reset();
        window.Detach();
      }
    };
    window.Create(*form);
    form->FormCreate();
    window.Sync();
    if (form->ShowAtStart()) window.Show();
    window.Run();
  } catch (const std::exception& error) {
    errors.ShowError(error.what());
  }
  try {
    window.BeginShutdown();
    form.reset();  // the save sequence, then the journal's last line
  } catch (const std::exception& error) {
    errors.ShowError(error.what());
  }
  window.Detach();
  shown = nullptr;
  return 0;
}

}  // namespace
}  // namespace dova

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return dova::RunProgram(); }
