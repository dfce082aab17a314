// A real main window for the window tests: a program folder in a temporary directory (Sites
// with the given dova.ini and dova.lst, Languages\ with the project's language files), the
// form and its window built as the entry point builds them, and fakes only where a test must
// not touch the system (the desktop wallpaper, the dialogs, the help viewer, the error box).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/main_form.h"
#include "app/win32/main_window.h"
#include "app/win32/window_services.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/win32/help_viewer_win32.h"
#include "tests/support/test_app.h"

namespace dova::testing {

class WindowTest : public ::testing::Test {
 protected:
  // Writes the data files and builds the window; `shown` shows it as the entry point would.
  void Start(const std::string& ini, const std::string& list = "", bool shown = true) {
    CreateDirectoryPath(dir_.Path() + "Sites");
    CreateDirectoryPath(dir_.Path() + "Languages");
    for (const char* language : {"English", "Russian"}) {
      std::string text;
      if (ReadWholeFile(CorePath(std::string(DOVA_SOURCE_DIR "/Languages/") + language + ".ini"),
                        text))
        dir_.WriteFile(std::string("Languages\\") + language + ".ini", text);
    }
    dir_.WriteFile("Sites\\dova.ini", ini);
    if (!list.empty()) dir_.WriteFile("Sites\\dova.lst", list);
    window_ = std::make_unique<MainWindow>(viewer_);
    platform_ = std::make_unique<Platform>(Platform{SystemClock(), screen_, *window_, errors_,
                                                    text_, dialogs_, help_, desktop_, *window_,
                                                    startup_});
    form_ = std::make_unique<TForm1>(*platform_, dir_.Path() + "Dova.exe", "");
    window_->Create(*form_);
    form_->FormCreate();
    window_->Sync();
    if (shown && form_->ShowAtStart()) window_->Show();
    Pump();
  }

  void TearDown() override {
    if (window_) window_->BeginShutdown();
    form_.reset();
    if (window_) window_->Detach();
    window_.reset();
  }

  void Pump() {
    for (int i = 0; i < 3; ++i) {
      window_->ProcessMessages();
      Sleep(10);
    }
  }

  FormModel& Model() { return form_->Form(); }
  AppContext& Context() { return form_->Context(); }
  HWND Window(const std::string& name) { return window_->ControlWindow(name); }
  // A control's place in its parent's client area.
  RECT PlaceOf(const std::string& name) {
    HWND control = Window(name);
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Makes `page` the active page as a click on its tab does.
  void ClickTab(int page) {
    HWND tabs = Window("PageControl1");
    SendMessageA(tabs, TCM_SETCURFOCUS, page, 0);
    Pump();
  }

  TempDir dir_;
  Win32Screen screen_;
  Win32TextMeasure text_;
  FakeErrorBox errors_;
  FakeDialogs dialogs_;
  FakeHelp help_;
  FakeDesktop desktop_;
  FakeStartupEntries startup_;
  Win32HelpViewer viewer_{nullptr};
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<TForm1> form_;
};

// Settings for a window that shows at start with three channels (the third without a logo).
inline std::string ShownIni(const std::string& extra = "") {
  return "[Main]\r\nInTray=0\r\nWorkType=online\r\nLanguage=English\r\n"
         "[OnLine]\r\nOnLoad=0\r\n[OffLine]\r\nOnLoad=0\r\n"
         "[Site1]\r\nURL=http://a/\r\nWPURL=-\r\nIMAGE=none1.bmp\r\nENABLED=1\r\n"
         "[Site2]\r\nURL=http://b/\r\nWPURL=-\r\nIMAGE=none2.bmp\r\nENABLED=0\r\n"
         "[Site3]\r\nURL=http://c/\r\nWPURL=-\r\nIMAGE=-\r\nENABLED=0\r\n" +
         extra;
}

// A list file of `rows` pictures whose sizes repeat 1024x768, 1280x1024, none, 800x600.
inline std::string ListOf(int rows) {
  static const char* const sizes[] = {"1024x768", "1280x1024", "", "800x600"};
  std::string text;
  for (int i = 0; i < rows; ++i)
    text += std::string(sizes[i % 4]) + "\tC:\\Pictures\\picture" + std::to_string(i) + ".jpg\r\n";
  return text;
}

}  // namespace dova::testing
