// Outside Windows there is no desktop to change: the values the program would give it are kept
// in the INI file "desktop.ini" in the directory DOVA_DESKTOP_DIR (the working directory when
// unset), so native runs can be checked:
//   [Desktop] Wallpaper=<bitmap path>, WallpaperStyle, TileWallpaper and StrechWallpaper as the
//             registry would hold them, Applied=<number of applications>
//   [Shell]   OpenedUrl=<the last address opened>
#include <cstdlib>
#include <string>

#include "platform/desktop.h"
#include "platform/error.h"
#include "platform/ini_file.h"

namespace dova {

namespace {

std::string DesktopFilePath() {
  const char* dir = std::getenv("DOVA_DESKTOP_DIR");
  std::string path = dir ? dir : "";
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '\\';
  return path + "desktop.ini";
}

class RecordingDesktop : public Desktop {
 public:
  DesktopResult SetWallpaper(const std::string& bitmapPath, WallpaperPosition position) override {
    std::unique_ptr<IniFile> file = OpenIniFile(DesktopFilePath());
    const long applied =
        std::strtol(file->ReadString("Desktop", "Applied", "0").c_str(), nullptr, 10);
    if (!file->WriteString("Desktop", "Wallpaper", bitmapPath) ||
        !file->WriteString("Desktop", "WallpaperStyle", WallpaperStyleValue(position)) ||
        !file->WriteString("Desktop", "TileWallpaper", TileWallpaperValue(position)) ||
        !file->WriteString("Desktop", "StrechWallpaper", StrechWallpaperValue(position)) ||
        !file->WriteString("Desktop", "Applied", std::to_string(applied + 1)))
      throw Error("Unable to write to " + file->Path());
    DesktopResult result;
    result.applied = true;
    return result;
  }

  void OpenUrl(const std::string& url) override {
    OpenIniFile(DesktopFilePath())->WriteString("Shell", "OpenedUrl", url);
  }
};

}  // namespace

Desktop& SystemDesktop() {
  static RecordingDesktop desktop;
  return desktop;
}

}  // namespace dova
