// The desktop wallpaper values: the registry under Windows, the record file elsewhere.
#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

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
    for (const char* name : kValues) saved_.push_back({name, {}, false});
    for (Value& value : saved_) value.had = key.GetString(value.name, value.data);
  }
  ~SavedWallpaper() {
    UserRegistryKey key = UserRegistryKey::Create(kDesktopKey);
    for (const Value& value : saved_)
      if (value.had)
        key.SetString(value.name, value.data);
      else
        key.DeleteValue(value.name);
  }

 private:
  static constexpr const char* kValues[] = {"Wallpaper", "StrechWallpaper", "WallpaperStyle",
                                            "TileWallpaper"};
  struct Value {
    std::string name, data;
    bool had;
  };
  std::vector<Value> saved_;
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
  dir.WriteFile("wallpaper2.bmp", "BM");
  const std::string values[][4] = {{"2", "0", "0"}, {"0", "0", "1"}, {"0", "1", "0"}};
  const WallpaperPosition positions[] = {WallpaperPosition::Stretch, WallpaperPosition::Centre,
                                         WallpaperPosition::Tile};
  for (int i = 0; i < 3; ++i) {
    const std::string bitmap = dir.File(i % 2 ? "wallpaper2.bmp" : "wallpaper1.bmp");
    // Wine's desktop takes whatever it is given; what counts here are the values.
    SystemDesktop().SetWallpaper(bitmap, positions[i]);
    EXPECT_EQ(Value("Wallpaper"), bitmap);
    EXPECT_EQ(Value("WallpaperStyle"), values[i][0]) << i;
    EXPECT_EQ(Value("TileWallpaper"), values[i][1]) << i;
    EXPECT_EQ(Value("StrechWallpaper"), values[i][2]) << i;
  }
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
  EXPECT_TRUE(SystemDesktop()
                  .SetWallpaper("C:\\Dova\\Sites\\wallpaper1.bmp", WallpaperPosition::Stretch)
                  .applied);
  auto record = OpenIniFile(dir.File("desktop.ini"));
  EXPECT_EQ(record->ReadString("Desktop", "Wallpaper", ""), "C:\\Dova\\Sites\\wallpaper1.bmp");
  EXPECT_EQ(record->ReadString("Desktop", "StrechWallpaper", ""), "0");
  EXPECT_EQ(record->ReadString("Desktop", "WallpaperStyle", ""), "2");
  EXPECT_EQ(record->ReadString("Desktop", "Applied", ""), "1");
  SystemDesktop().SetWallpaper("C:\\Dova\\Sites\\wallpaper2.bmp", WallpaperPosition::Centre);
  EXPECT_EQ(record->ReadString("Desktop", "Wallpaper", ""), "C:\\Dova\\Sites\\wallpaper2.bmp");
  EXPECT_EQ(record->ReadString("Desktop", "StrechWallpaper", ""), "1");
  EXPECT_EQ(record->ReadString("Desktop", "Applied", ""), "2");
  SystemDesktop().OpenUrl("http://dova.example/");
  EXPECT_EQ(record->ReadString("Shell", "OpenedUrl", ""), "http://dova.example/");
}

TEST(Desktop, AValueThatCannotBeWrittenThrows) {
  TempDir dir;
  DesktopDir use(dir.File("missing"));
  EXPECT_THROW(SystemDesktop().SetWallpaper("C:\\w.bmp", WallpaperPosition::Tile), Error);
  EXPECT_NO_THROW(SystemDesktop().OpenUrl("http://dova.example/"));
}

#endif

}  // namespace
}  // namespace dova::testing
