// dova_driver.exe: drives a running Dova.exe from the end-to-end tests as the shell and a user
// would, through window messages: waits for the main window, tells whether it is shown, sends
// the tray icon's callback messages, closes the window with its close box, and presses keys.
//
//   dova_driver wait [seconds]     exit 0 once the main window exists (shown or hidden)
//   dova_driver visible            prints 1 when the main window is shown, else 0
//   dova_driver tray left|right|middle
//   dova_driver close              the close box (WM_CLOSE)
//   dova_driver gone [seconds]     exit 0 once no main window is left
//   dova_driver acp                prints the system's ANSI code page (GetACP)
//   dova_driver texts              prints the text of every control of the main window, one a
//                                  line, in UTF-8
//   dova_driver click <text>       clicks the button or check box showing <text> (BM_CLICK)
//   dova_driver checked <text>     prints 1 when the check box showing <text> is checked, else 0
//   dova_driver client             prints the main window's client width and height in pixels
//   dova_driver label              prints the width of the widest label in pixels
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kTrayCallback = WM_USER + 1;

HWND MainWindow() { return FindWindowA("TForm1", nullptr); }

struct TrayWindowSearch {
  DWORD processId;
  HWND found;
};

// The tray icon's hidden message window belongs to the same process as the main window.
BOOL CALLBACK FindTrayWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<TrayWindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (pid == search->processId && std::strcmp(name, "TTrayIcon") == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND TrayWindow() {
  HWND main = MainWindow();
  if (!main) return nullptr;
  TrayWindowSearch search{0, nullptr};
  GetWindowThreadProcessId(main, &search.processId);
  HWND child = nullptr;
  // Message-only windows are found through HWND_MESSAGE, ordinary hidden ones by EnumWindows.
  while ((child = FindWindowExA(HWND_MESSAGE, child, "TTrayIcon", nullptr)) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(child, &pid);
    if (pid == search.processId) return child;
  }
  EnumWindows(FindTrayWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool WaitFor(bool (*condition)(), double seconds) {
  for (int i = 0; i < static_cast<int>(seconds * 10); ++i) {
    if (condition()) return true;
    Sleep(100);
  }
  return condition();
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                      length, nullptr, nullptr);
  return bytes;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(),
                                                      static_cast<int>(text.size()))));
  return text;
}

std::vector<HWND> ControlsOf(HWND main) {
  std::vector<HWND> controls;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&controls));
  return controls;
}

HWND ControlShowing(HWND main, const std::wstring& text) {
  for (HWND control : ControlsOf(main))
    if (TextOf(control) == text) return control;
  return nullptr;
}

// The commands that read the system or the controls' Unicode texts; -1 when `command` is none
// of them. Their arguments come from the wide command line: argv holds them in the ANSI code
// page, which may lack their letters.
int RunTextCommand(const std::string& command) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring argument = count > 2 ? args[2] : L"";
  LocalFree(args);
  if (command == "acp") {
    std::printf("%u\n", GetACP());
    return 0;
  }
  if (command != "texts" && command != "click" && command != "checked") return -1;
  HWND main = MainWindow();
  if (!main) return 1;
  if (command == "texts") {
    for (HWND control : ControlsOf(main)) {
      const std::string text = Utf8(TextOf(control));
      if (!text.empty()) std::printf("%s\n", text.c_str());
    }
    return 0;
  }
  HWND control = ControlShowing(main, argument);
  if (!control) {
    std::fprintf(stderr, "no control shows that text\n");
    return 1;
  }
  if (command == "click") {
    // Posted: the program may answer with a message box, which must not block the driver.
    PostMessageW(control, BM_CLICK, 0, 0);
    return 0;
  }
  std::printf("%d\n", SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dova_driver wait|visible|tray|close|gone|client|label ...\n");
    return 2;
  }
  const char* command = argv[1];
  const double seconds = argc > 2 ? std::atof(argv[2]) : 30.0;
  if (const int result = RunTextCommand(command); result >= 0) return result;
  if (std::strcmp(command, "wait") == 0)
    return WaitFor([] { return MainWindow() != nullptr; }, seconds) ? 0 : 1;
  if (std::strcmp(command, "gone") == 0)
    return WaitFor([] { return MainWindow() == nullptr; }, seconds) ? 0 : 1;
  HWND main = MainWindow();
  if (!main) {
    std::fprintf(stderr, "no main window\n");
    return 1;
  }
  if (std::strcmp(command, "visible") == 0) {
    std::printf("%d\n", IsWindowVisible(main) ? 1 : 0);
    return 0;
  }
  if (std::strcmp(command, "client") == 0) {
    RECT client{};
    GetClientRect(main, &client);
    std::printf("%ld %ld\n", client.right - client.left, client.bottom - client.top);
    return 0;
  }
  if (std::strcmp(command, "label") == 0) {
    // The width of the widest label: labels are as wide as their text in the window's font
    // (a font handle itself cannot be read from another process).
    LONG widest = 0;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM found) {
          char name[16] = {};
          GetClassNameA(child, name, sizeof name);
          RECT place{};
          if (_stricmp(name, "Static") == 0 && GetWindowTextLengthA(child) > 0 &&
              GetWindowRect(child, &place)) {
            auto* widest = reinterpret_cast<LONG*>(found);
            if (place.right - place.left > *widest) *widest = place.right - place.left;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&widest));
    std::printf("%ld\n", widest);
    return widest > 0 ? 0 : 1;
  }
  if (std::strcmp(command, "close") == 0) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    return 0;
  }
  if (std::strcmp(command, "tray") == 0 && argc > 2) {
    // The tray icon comes a moment after the main window: waited for, as a user would.
    HWND tray = nullptr;
    for (int i = 0; i < 100 && !(tray = TrayWindow()); ++i) Sleep(100);
    if (!tray) {
      std::fprintf(stderr, "no tray window\n");
      return 1;
    }
    UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP;
    if (std::strcmp(argv[2], "right") == 0) down = WM_RBUTTONDOWN, up = WM_RBUTTONUP;
    if (std::strcmp(argv[2], "middle") == 0) down = WM_MBUTTONDOWN, up = WM_MBUTTONUP;
    PostMessageA(tray, kTrayCallback, 0, down);
    PostMessageA(tray, kTrayCallback, 0, up);
    return 0;
  }
  std::fprintf(stderr, "unknown command %s\n", command);
  return 2;
}
