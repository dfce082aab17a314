// The one ritual every window class of the program goes through: registered once per process,
// as a Unicode class, before its first window is made.
#pragma once

#include <windows.h>

namespace dova {

struct WindowClass {
  const wchar_t* name;
  WNDPROC procedure;  // calls DefWindowProcW for what it leaves alone
  UINT style = 0;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
};

// Registers `windowClass` unless a class of its name is registered already. True when the class
// is there afterwards.
bool RegisterWindowClass(const WindowClass& windowClass);

}  // namespace dova
