// The bridge between the model's byte strings and the window's Unicode controls.
//
// Every interface text of the model (captions, hints, list items, status text, menu captions)
// is Windows-1251: the design texts and both language files are written in it. Handing those
// bytes to the ANSI calls would read them in the system's code page, so a Russian interface
// showed as "Ãëàâíàÿ" on an English or German Windows. The window therefore converts them here,
// from code page 1251 whatever the system's, and gives them to the controls through the
// Unicode calls.
//
// The proxy's address, port, login and password are the user's data, not interface texts: they
// are stored in dova.ini and sent to the proxy in the system's code page, as file paths are, so
// the edit fields convert them with that code page.
#pragma once

#include <windows.h>

#include <string>

namespace dova {

// An interface text of the model as the window shows it.
std::wstring InterfaceText(const std::string& text);

// A text of the user's data (system code page) as an edit field shows it, and back.
std::wstring UserDataText(const std::string& text);
std::string UserDataBytes(const std::wstring& text);

// The whole text of a window, in UTF-16.
std::wstring WindowTextOf(HWND window);

}  // namespace dova
