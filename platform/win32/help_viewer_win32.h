// The HTML Help viewer of the system's "HHCTRL.OCX", loaded at run time, through its wide
// function HtmlHelpW. Creating it loads the
// library and initialises the help system (HH_INITIALIZE, keeping the cookie); destroying it
// shuts the help system down (HH_UNINITIALIZE with the cookie) and frees the library. Without
// the library every call does nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/help_viewer.h"

namespace dova {

class Win32HelpViewer : public HelpViewer {
 public:
  // `owner` gives the window the help is shown for (null: none).
  explicit Win32HelpViewer(std::function<HWND()> owner);
  ~Win32HelpViewer() override;
  Win32HelpViewer(const Win32HelpViewer&) = delete;
  Win32HelpViewer& operator=(const Win32HelpViewer&) = delete;

  // HH_DISPLAY_TOPIC with the address; the result is not looked at.
  void DisplayTopic(const std::string& address) override;
  // For the message loop: the help window's keyboard messages (HH_PRETRANSLATEMESSAGE, which
  // the help system needs once it was initialised). True when the message was handled.
  bool PreTranslateMessage(MSG& message);
  bool Loaded() const { return help_ != nullptr; }

 private:
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  std::function<HWND()> owner_;
  HMODULE library_ = nullptr;
  HtmlHelpFunction help_ = nullptr;
  DWORD cookie_ = 0;
};

}  // namespace dova
