#include "platform/win32/long_path.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace dova {

namespace {

constexpr std::size_t kPlainLimit = MAX_PATH - 12;

std::wstring FullPath(const std::wstring& path) {
  std::vector<wchar_t> buffer(path.size() + MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

}  // namespace

std::wstring FilePath(const std::string& path) {
  const std::wstring wide = Wide(path);
  if (wide.size() < kPlainLimit || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
  const std::wstring full = FullPath(wide);
  if (full.compare(0, 4, L"\\\\?\\") == 0 || full.compare(0, 4, L"\\\\.\\") == 0) return full;
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace dova
