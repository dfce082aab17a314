// The desktop wallpaper values: the registry under Windows, the record file elsewhere.
#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/error.h"
#include "platform/ini_file.h"
#include "tests/support/temp_dir.h"
#ifdef _WIN32
#include "platform/win32/registry.h"
#endif

namespace dova::testing {
namespace {

#ifdef _WIN32

const char kDesktopKey[] = "Control Panel\\Desktop";

// Keeps the user's wallpaper values and puts them back after the test.
class SavedWallpaper {
 public:
  SavedWallpaper() {
    UserRegistryKey key = UserRegistryKey::OpenForReading(kDesktopKey);
    hadWallpaper_ = key.GetString("Wallpaper", wallpaper_);
    hadStretch_ = key.GetString("StrechWallpaper", stretch_);
  }
  ~SavedWallpaper() {
    UserRegistryKey key = UserRegistryKey::Create(kDesktopKey);
    if (hadWallpaper_) key.SetString("Wallpaper", wallpaper_);
    if (hadStretch_) key.SetString("StrechWallpaper", stretch_);
  }

 private:
  bool hadWallpaper_, hadStretch_;
  std::string wallpaper_, stretch_;
};

std::string Value(const char* name) {
  std::string value;
  EXPECT_TRUE(UserRegistryKey::OpenForReading(kDesktopKey).GetString(name, value)) << name;
  return value;
}

TEST(Desktop, SetWallpaperWritesTheUsersDesktopValues) {
  SavedWallpaper saved;
  TempDir dir;
  dir.WriteFile("wallpaper1.bmp", "BM");
  SystemDesktop().SetWallpaper(dir.File("wallpaper1.bmp"), false);
  EXPECT_EQ(Value("Wallpaper"), dir.File("wallpaper1.bmp"));
  EXPECT_EQ(Value("StrechWallpaper"), "0");
  SystemDesktop().SetWallpaper(dir.File("wallpaper2.bmp"), true);
  EXPECT_EQ(Value("Wallpaper"), dir.File("wallpaper2.bmp"));
  EXPECT_EQ(Value("StrechWallpaper"), "1");
}

TEST(Desktop, RegistryFailuresCarryTheSystemsMessage) {
  UserRegistryKey key = UserRegistryKey::OpenForReading(kDesktopKey);
  ASSERT_TRUE(key.IsOpen());
  try {
    key.SetString("DovaTest", "x");  // opened for reading only
    FAIL() << "writing through a read-only key succeeded";
  } catch (const Error& error) {
    const std::string text = error.what();
    EXPECT_EQ(text.rfind("Failed to set data for 'DovaTest': ", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("Failed to set data for 'DovaTest': ").size() + 3);
    EXPECT_EQ(text.find("error "), std::string::npos) << "no system text: " << text;
  }
  std::string value;
  EXPECT_FALSE(UserRegistryKey::OpenForReading("Dova\\No Such Key").GetString("x", value));
  EXPECT_NE(SystemErrorText(5), "error 5");
}

#else

// Points the record file at a directory for one test.
class DesktopDir {
 public:
  explicit DesktopDir(const std::string& dir) {
    const char* saved = std::getenv("DOVA_DESKTOP_DIR");
    had_ = saved != nullptr;
    if (had_) saved_ = saved;
    setenv("DOVA_DESKTOP_DIR", dir.c_str(), 1);
  }
  ~DesktopDir() {
    if (had_)
      setenv("DOVA_DESKTOP_DIR", saved_.c_str(), 1);
    else
      unsetenv("DOVA_DESKTOP_DIR");
  }

 private:
  bool had_;
  std::string saved_;
};

TEST(Desktop, SetWallpaperRecordsTheValuesOutsideWindows) {
  TempDir dir;
  DesktopDir use(dir.Path());
  SystemDesktop().SetWallpaper("C:\\Dova\\Sites\\wallpaper1.bmp", false);
  auto record = OpenIniFile(dir.File("desktop.ini"));
  EXPECT_EQ(record->ReadString("Desktop", "Wallpaper", ""), "C:\\Dova\\Sites\\wallpaper1.bmp");
  EXPECT_EQ(record->ReadString("Desktop", "StrechWallpaper", ""), "0");
  EXPECT_EQ(record->ReadString("Desktop", "Applied", ""), "1");
  SystemDesktop().SetWallpaper("C:\\Dova\\Sites\\wallpaper2.bmp", true);
  EXPECT_EQ(record->ReadString("Desktop", "Wallpaper", ""), "C:\\Dova\\Sites\\wallpaper2.bmp");
  EXPECT_EQ(record->ReadString("Desktop", "StrechWallpaper", ""), "1");
  EXPECT_EQ(record->ReadString("Desktop", "Applied", ""), "2");
  SystemDesktop().OpenUrl("http://dova.example/");
  EXPECT_EQ(record->ReadString("Shell", "OpenedUrl", ""), "http://dova.example/");
}

TEST(Desktop, AValueThatCannotBeWrittenThrows) {
  TempDir dir;
  DesktopDir use(dir.File("missing"));
  EXPECT_THROW(SystemDesktop().SetWallpaper("C:\\w.bmp", false), Error);
  EXPECT_NO_THROW(SystemDesktop().OpenUrl("http://dova.example/"));
}

#endif

}  // namespace
}  // namespace dova::testing
