#include "platform/win32/registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

HKEY Handle(void* key) { return static_cast<HKEY>(key); }

// The data of a value and its type; false when it is missing.
bool QueryValue(void* key, const std::string& name, DWORD& type, std::vector<BYTE>& data) {
  if (!key) return false;
  const std::wstring wideName = Wide(name);
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueExW(Handle(key), wideName.c_str(), nullptr, &type,
                                         data.empty() ? nullptr : data.data(), &size);
    if (result == ERROR_SUCCESS && !data.empty()) {
      data.resize(size);
      return true;
    }
    // The first call only asks for the size; the value may also grow between the calls.
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return false;
    data.resize(size + 2);
  }
}

void SetValue(void* key, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
  const LONG result = key ? RegSetValueExW(Handle(key), Wide(name).c_str(), 0, type, data, size)
                          : ERROR_INVALID_HANDLE;
  if (result != ERROR_SUCCESS)
    throw Error("Failed to set data for '" + name + "': " + SystemErrorText(result));
}

}  // namespace

std::string SystemErrorText(unsigned long code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 && text ? Utf8(std::wstring(text, length)) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == ' '))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

UserRegistryKey UserRegistryKey::Create(const std::string& subKey) {
  HKEY key = nullptr;
  const LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, Wide(subKey).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                      nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS)
    throw Error("Failed to create key " + subKey + ": " + SystemErrorText(result));
  return UserRegistryKey(key);
}

UserRegistryKey UserRegistryKey::OpenForReading(const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(subKey).c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    key = nullptr;
  return UserRegistryKey(key);
}

UserRegistryKey UserRegistryKey::OpenExisting(const std::string& subKey) {
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(subKey).c_str(), 0,
                                    KEY_SET_VALUE | KEY_QUERY_VALUE, &key);
  if (result == ERROR_FILE_NOT_FOUND) return UserRegistryKey(nullptr);
  if (result != ERROR_SUCCESS)
    throw Error("Failed to open key " + subKey + ": " + SystemErrorText(result));
  return UserRegistryKey(key);
}

UserRegistryKey::UserRegistryKey(UserRegistryKey&& other) noexcept : key_(other.key_) {
  other.key_ = nullptr;
}

UserRegistryKey& UserRegistryKey::operator=(UserRegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

UserRegistryKey::~UserRegistryKey() { Close(); }

void UserRegistryKey::Close() {
  if (key_) RegCloseKey(Handle(key_));
  key_ = nullptr;
}

void UserRegistryKey::SetString(const std::string& name, const std::string& value) {
  const std::wstring wide = Wide(value);
  SetValue(key_, name, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
           static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

bool UserRegistryKey::GetString(const std::string& name, std::string& value) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(key_, name, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  // The stored text need not end in a zero; it ends at the first one.
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  value = Utf8(text.c_str());
  return true;
}

void UserRegistryKey::SetBinary(const std::string& name, const std::string& bytes) {
  SetValue(key_, name, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
           static_cast<DWORD>(bytes.size()));
}

bool UserRegistryKey::GetBinary(const std::string& name, std::string& bytes) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryValue(key_, name, type, data)) return false;
  bytes.assign(data.begin(), data.end());
  return true;
}

void UserRegistryKey::DeleteValue(const std::string& name) {
  if (!key_) return;
  const LONG result = RegDeleteValueW(Handle(key_), Wide(name).c_str());
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
    throw Error("Failed to delete '" + name + "': " + SystemErrorText(result));
}

}  // namespace dova
