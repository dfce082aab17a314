// The bridge between the model's texts and the window's Unicode controls.
//
// Every text of the model is UTF-8: the design texts, the phrases of the language files
// (converted when they are loaded), the file names and paths, and the user's data in the edit
// fields (the proxy's address, port, login and password). The window hands them to the controls
// through the wide calls, so a Russian interface, a German one and a picture named in Chinese
// letters show alike on every Windows, whatever its ANSI code page.
#pragma once

#include <windows.h>

#include <string>

namespace dova {

// An interface text of the model as the window shows it.
std::wstring InterfaceText(const std::string& text);

// A text of the user's data as an edit field shows it, and back.
std::wstring UserDataText(const std::string& text);
std::string UserDataBytes(const std::wstring& text);

// A text for, and a text from, a control that still speaks the system's ANSI code page (the
// picture list's list view); characters the code page lacks become "?".
std::string AnsiControlText(const std::string& text);
std::wstring FromAnsiControlText(const char* text);

// The whole text of a window, in UTF-16.
std::wstring WindowTextOf(HWND window);

}  // namespace dova
