#include "app/win32/window_interface_text.h"

#include "platform/win32/wide_text.h"

namespace dova {

std::wstring InterfaceText(const std::string& text) { return Wide(text); }

std::wstring UserDataText(const std::string& text) { return Wide(text); }

std::string UserDataBytes(const std::wstring& text) { return Utf8(text); }

std::string AnsiControlText(const std::string& text) {
  const std::wstring wide = Wide(text);
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

std::wstring FromAnsiControlText(const char* text) {
  if (!text || !*text) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(wide.size() - 1);  // the converted zero
  return wide;
}

std::wstring WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

}  // namespace dova
