// The user's start-up entries and Unicode values in the registry of the Wine prefix.
#include "platform/startup_entries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/registry.h"

namespace dova {
namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A name of the test's own, so that the program's entry in the prefix is never touched.
std::string TestEntryName() { return "Dova Test Entry " + std::to_string(GetCurrentProcessId()); }

TEST(Win32StartupEntries, CommandsAndSwitchesGoToTheirKeysAndAway) {
  StartupEntries& entries = SystemStartupEntries();
  const std::string name = TestEntryName();
  const std::string command = "\"C:\\Программы\\山水\\Dova.exe\" minimized";
  std::string read;
  EXPECT_FALSE(entries.ReadCommand(name, read));
  entries.WriteCommand(name, command);
  ASSERT_TRUE(entries.ReadCommand(name, read));
  EXPECT_EQ(read, command);
  // Where Windows and the Task Manager look for it, as a text value.
  std::string direct;
  ASSERT_TRUE(UserRegistryKey::OpenForReading(kRunKey).GetString(name, direct));
  EXPECT_EQ(direct, command);

  const std::string off("\x03\0\0\0\0\0\0\0\x11\x22\x33\x44", 12);
  EXPECT_FALSE(entries.ReadSwitch(name, read));
  entries.WriteSwitch(name, off);
  ASSERT_TRUE(entries.ReadSwitch(name, read));
  EXPECT_EQ(read, off);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                          L"StartupApproved\\Run",
                          0, KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  const std::wstring wideName(name.begin(), name.end());
  EXPECT_EQ(RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 12u);
  RegCloseKey(key);

  entries.RemoveCommand(name);
  entries.RemoveSwitch(name);
  EXPECT_FALSE(entries.ReadCommand(name, read));
  EXPECT_FALSE(entries.ReadSwitch(name, read));
  entries.RemoveCommand(name);  // nothing there: no failure
  entries.RemoveSwitch(name);
}

TEST(Win32Registry, TextValuesKeepEveryCharacter) {
  const std::string subKey = "Software\\Dova Test " + std::to_string(GetCurrentProcessId());
  {
    UserRegistryKey key = UserRegistryKey::Create(subKey);
    key.SetString("Wallpaper", "C:\\Картинки\\山水画😀.bmp");
    key.SetString("Empty", "");
    std::string value;
    ASSERT_TRUE(key.GetString("Wallpaper", value));
    EXPECT_EQ(value, "C:\\Картинки\\山水画😀.bmp");
    ASSERT_TRUE(key.GetString("Empty", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(key.GetString("Missing", value));
    key.DeleteValue("Wallpaper");
    EXPECT_FALSE(key.GetString("Wallpaper", value));
  }
  EXPECT_FALSE(UserRegistryKey::OpenExisting(subKey + "\\Missing").IsOpen());
  RegDeleteKeyW(HKEY_CURRENT_USER, std::wstring(subKey.begin(), subKey.end()).c_str());
}

}  // namespace
}  // namespace dova
