// Outside Windows there is no desktop to change: the values the program would give it are kept
// in the INI file "desktop.ini" in the directory DOVA_DESKTOP_DIR (the working directory when
// unset), so native runs can be checked:
//   [Desktop] Wallpaper=<bitmap path>, StrechWallpaper=1 or 0, Applied=<number of applications>
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
  void SetWallpaper(const std::string& bitmapPath, bool doNotResize) override {
    std::unique_ptr<IniFile> file = OpenIniFile(DesktopFilePath());
    const long applied = std::strtol(file->ReadString("Desktop", "Applied", "0").c_str(),
                                     nullptr, 10);
    if (!file->WriteString("Desktop", "Wallpaper", bitmapPath) ||
        !file->WriteString("Desktop", "StrechWallpaper", doNotResize ? "1" : "0") ||
        !file->WriteString("Desktop", "Applied", std::to_string(applied + 1)))
      throw Error("Unable to write to " + file->Path());
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
