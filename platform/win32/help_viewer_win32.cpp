#include "platform/win32/help_viewer_win32.h"

#include "platform/win32/wide_text.h"

namespace dova {

namespace {

// The commands of the help function.
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kPreTranslateMessage = 0x00FD;
constexpr UINT kInitialize = 0x001C;
constexpr UINT kUninitialize = 0x001D;
// HtmlHelpW; the library exports it by name and by the ordinal 15 (HtmlHelpA is 14).
constexpr WORD kHtmlHelpWOrdinal = 15;

}  // namespace

Win32HelpViewer::Win32HelpViewer(std::function<HWND()> owner) : owner_(std::move(owner)) {
  library_ = LoadLibraryW(L"HHCTRL.OCX");
  if (!library_) return;
  FARPROC function = GetProcAddress(library_, "HtmlHelpW");
  if (!function) function = GetProcAddress(library_, MAKEINTRESOURCEA(kHtmlHelpWOrdinal));
  help_ = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(function));
  if (help_) help_(nullptr, nullptr, kInitialize, reinterpret_cast<DWORD_PTR>(&cookie_));
}

Win32HelpViewer::~Win32HelpViewer() {
  if (help_) help_(nullptr, nullptr, kUninitialize, cookie_);
  if (library_) FreeLibrary(library_);
}

void Win32HelpViewer::DisplayTopic(const std::string& address) {
  if (help_) help_(owner_ ? owner_() : nullptr, Wide(address).c_str(), kDisplayTopic, 0);
}

bool Win32HelpViewer::PreTranslateMessage(MSG& message) {
  return help_ && help_(nullptr, nullptr, kPreTranslateMessage,
                        reinterpret_cast<DWORD_PTR>(&message)) != nullptr;
}

}  // namespace dova
