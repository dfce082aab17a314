#include "platform/win32/registry.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/error.h"

namespace dova {

namespace {

HKEY Handle(void* key) { return static_cast<HKEY>(key); }

}  // namespace

std::string SystemErrorText(unsigned long code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == ' '))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

UserRegistryKey UserRegistryKey::Create(const std::string& subKey) {
  HKEY key = nullptr;
  const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                      nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS)
    throw Error("Failed to create key " + subKey + ": " + SystemErrorText(result));
  return UserRegistryKey(key);
}

UserRegistryKey UserRegistryKey::OpenForReading(const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    key = nullptr;
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
  const LONG result =
      key_ ? RegSetValueExA(Handle(key_), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1))
           : ERROR_INVALID_HANDLE;
  if (result != ERROR_SUCCESS)
    throw Error("Failed to set data for '" + name + "': " + SystemErrorText(result));
}

bool UserRegistryKey::GetString(const std::string& name, std::string& value) const {
  if (!key_) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(Handle(key_), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  std::vector<char> data(size + 1);
  if (RegQueryValueExA(Handle(key_), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    return false;
  data[size] = '\0';  // the stored text need not end in a zero
  value = data.data();
  return true;
}

}  // namespace dova
