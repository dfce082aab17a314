// The shell's dialogs and the help viewer under Wine, driven from a second thread as a user
// would: type the names, press OK, and see what comes back.
#include "platform/win32/dialogs_win32.h"

#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "platform/win32/help_viewer_win32.h"
#include "platform/win32/wide_text.h"
#include "tests/support/fake_platform.h"

namespace dova::testing {
namespace {

constexpr int kFileNameBox = 0x47C;  // cmb13, the explorer-style dialog's file name

std::string FileNameAfterSlash(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A visible dialog of `thread` whose caption is `title`, or which shows `title` as a text
// inside it, as the folder dialog does (its caption is the system's "Browse for Folder").
HWND FindDialog(const std::string& title, DWORD thread) {
  const std::wstring wanted = Wide(title);
  struct Search {
    const std::wstring* title;
    HWND found;
  } search{&wanted, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[16] = L"", caption[256] = L"";
        GetClassNameW(window, name, 16);
        GetWindowTextW(window, caption, 256);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(window) &&
            (*s->title == caption ||
             FindWindowExW(window, nullptr, L"Static", s->title->c_str()) != nullptr)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits for a dialog of the test's thread (see FindDialog) and hands it to `action`, from a
// thread of its own.
class DialogDriver {
 public:
  DialogDriver(std::string title, std::function<void(HWND)> action)
      : owner_(GetCurrentThreadId()), thread_([this, title, action] {
          for (int i = 0; i < 200 && !found_; ++i) {
            Sleep(50);
            HWND dialog = FindDialog(title, owner_);
            if (dialog) {
              Sleep(300);  // let it finish its initialisation
              action(dialog);
              found_ = true;
            }
          }
        }) {}
  ~DialogDriver() { thread_.join(); }
  bool Found() const { return found_; }

 private:
  const DWORD owner_;
  std::atomic<bool> found_{false};
  std::thread thread_;
};

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) : old_(GetCurrentDir()) {
    SetCurrentDir(path);
  }
  ~CurrentDirectory() { SetCurrentDir(old_); }

 private:
  std::string old_;
};

TEST(Win32Dialogs, TheFileDialogReturnsEveryChosenFileInTheCurrentDirectory) {
  TempDir dir;
  dir.WriteFile("sea.jpg", "x");
  dir.WriteFile("hill.jpeg", "x");
  CurrentDirectory current(dir.Path());
  Win32Dialogs dialogs([] { return HWND(nullptr); });
  std::vector<std::string> chosen;
  {
    DialogDriver user("Choose pictures", [](HWND dialog) {
      // The dialog is a Unicode window: its CDM_ messages take wide texts.
      SendMessageW(dialog, CDM_SETCONTROLTEXT, kFileNameBox,
                   reinterpret_cast<LPARAM>(L"\"sea.jpg\" \"hill.jpeg\""));
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    chosen = dialogs.OpenPictureFiles(
        "Choose pictures", "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg");
    EXPECT_TRUE(user.Found());
  }
  ASSERT_EQ(chosen.size(), 2u);
  // The dialog may give the folder in another spelling (long name, case): compare the names.
  EXPECT_EQ(FileNameAfterSlash(chosen[0]), "sea.jpg");
  EXPECT_EQ(FileNameAfterSlash(chosen[1]), "hill.jpeg");
  EXPECT_TRUE(FileExists(chosen[0]));
  EXPECT_TRUE(FileExists(chosen[1]));
}

// A folder named in Cyrillic and a picture named in Chinese letters and an emoji, on a system
// whose code page has none of them: the dialogs give the names exactly.
TEST(Win32Dialogs, TheDialogsGiveNamesBeyondTheCodePageExactly) {
  TempDir dir;
  ASSERT_TRUE(CreateDirectoryPath(dir.File("Картинки")));
  dir.WriteFile("Картинки\\山水画😀.jpg", "x");
  dir.WriteFile("Картинки\\море.jpg", "x");
  CurrentDirectory current(dir.File("Картинки"));
  Win32Dialogs dialogs([] { return HWND(nullptr); });
  std::vector<std::string> chosen;
  {
    DialogDriver user("Выбор файлов", [](HWND dialog) {
      SendMessageW(dialog, CDM_SETCONTROLTEXT, kFileNameBox,
                   reinterpret_cast<LPARAM>(L"\"山水画😀.jpg\" \"море.jpg\""));
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    chosen = dialogs.OpenPictureFiles("Выбор файлов", "All (*.jpg)|*.jpg");
    EXPECT_TRUE(user.Found());
  }
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_EQ(FileNameAfterSlash(chosen[0]), "山水画😀.jpg");
  EXPECT_EQ(FileNameAfterSlash(chosen[1]), "море.jpg");
  EXPECT_NE(chosen[0].find("\\Картинки\\"), std::string::npos);
  EXPECT_TRUE(FileExists(chosen[0]));

  std::string folder;
  {
    DialogDriver user("Выберите папку",
                      [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
    folder = dialogs.BrowseForFolder("Выберите папку");
    EXPECT_TRUE(user.Found());
  }
  EXPECT_EQ(FileNameAfterSlash(folder), "Картинки");
  EXPECT_TRUE(DirectoryExists(folder));
}

TEST(Win32Dialogs, CancellingTheFileDialogChoosesNothing) {
  Win32Dialogs dialogs([] { return HWND(nullptr); });
  DialogDriver user("Nothing", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_TRUE(dialogs.OpenPictureFiles("Nothing", "All|*.*").empty());
}

TEST(Win32Dialogs, TheFolderDialogOpensOnTheCurrentDirectory) {
  TempDir dir;
  CreateDirectoryPath(dir.Path() + "Holiday");
  CurrentDirectory current(dir.Path() + "Holiday");
  Win32Dialogs dialogs([] { return HWND(nullptr); });
  std::string folder;
  {
    DialogDriver user("Choose a folder",
                      [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    folder = dialogs.BrowseForFolder("Choose a folder");
    EXPECT_TRUE(user.Found());
  }
  EXPECT_EQ(FileNameAfterSlash(folder), "Holiday");
  EXPECT_TRUE(DirectoryExists(folder));

  DialogDriver cancel("Cancel it",
                      [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(dialogs.BrowseForFolder("Cancel it"), "");
}

TEST(Win32HelpViewer, LoadsTheHtmlHelpControlAndShowsAMissingFileQuietly) {
  Win32HelpViewer help([] { return HWND(nullptr); });
  EXPECT_TRUE(help.Loaded());
  help.DisplayTopic("Z:\\nowhere\\Dova.chm::/HTML/online.htm>main");
  MSG message{};
  EXPECT_FALSE(help.PreTranslateMessage(message));
}

}  // namespace
}  // namespace dova::testing
