// Values of keys under HKEY_CURRENT_USER, named and holding UTF-8 texts. The key handle is owned
// by the object and closed when it goes. Failures of the registry functions become dova::Error
// carrying the system's message text.
#pragma once

#include <string>

namespace dova {

class UserRegistryKey {
 public:
  // Opens HKEY_CURRENT_USER\subKey for writing, creating it when missing. Throws on failure.
  static UserRegistryKey Create(const std::string& subKey);
  // Opens HKEY_CURRENT_USER\subKey for reading; an object that holds no key when it is missing.
  static UserRegistryKey OpenForReading(const std::string& subKey);
  // Opens an existing HKEY_CURRENT_USER\subKey for reading and writing; an object that holds no
  // key when it is missing. Throws when it is there but cannot be opened.
  static UserRegistryKey OpenExisting(const std::string& subKey);

  UserRegistryKey(UserRegistryKey&& other) noexcept;
  UserRegistryKey& operator=(UserRegistryKey&& other) noexcept;
  UserRegistryKey(const UserRegistryKey&) = delete;
  UserRegistryKey& operator=(const UserRegistryKey&) = delete;
  ~UserRegistryKey();

  bool IsOpen() const { return key_ != nullptr; }

  // Writes a REG_SZ value. Throws "Failed to set data for 'name'" with the system's reason.
  void SetString(const std::string& name, const std::string& value);
  // Reads a REG_SZ or REG_EXPAND_SZ value; false when the key or the value is missing.
  bool GetString(const std::string& name, std::string& value) const;
  // Writes a REG_BINARY value; throws as SetString does.
  void SetBinary(const std::string& name, const std::string& bytes);
  // Reads a value's bytes whatever its type; false when the key or the value is missing.
  bool GetBinary(const std::string& name, std::string& bytes) const;
  // Removes a value; a missing value (or key) is no failure. Throws "Failed to delete 'name'"
  // with the system's reason otherwise.
  void DeleteValue(const std::string& name);

 private:
  explicit UserRegistryKey(void* key) : key_(key) {}
  void Close();

  void* key_;  // HKEY; kept as void* so that this header needs no <windows.h>
};

// The system's text for an error code of GetLastError or the registry functions, without the
// line end it comes with; "error N" when the system has none.
std::string SystemErrorText(unsigned long code);

}  // namespace dova
