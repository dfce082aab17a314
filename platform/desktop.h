// The desktop wallpaper and the web browser of the current user.
#pragma once

#include <string>

namespace dova {

class MonitorWallpaper;

// How the desktop lays the bitmap on the screen, as the registry values "WallpaperStyle" and
// "TileWallpaper" say it.
enum class WallpaperPosition {
  Centre,   // "0" and "0": at its own size in the middle of the screen
  Stretch,  // "2" and "0": stretched over the whole screen
  Tile,     // "0" and "1": from the top-left corner on, repeated (a bitmap of the whole desktop)
};

// The registry data of a position: "WallpaperStyle", "TileWallpaper" and "StrechWallpaper".
inline const char* WallpaperStyleValue(WallpaperPosition position) {
  return position == WallpaperPosition::Stretch ? "2" : "0";
}
inline const char* TileWallpaperValue(WallpaperPosition position) {
  return position == WallpaperPosition::Tile ? "1" : "0";
}
inline const char* StrechWallpaperValue(WallpaperPosition position) {
  return position == WallpaperPosition::Centre ? "1" : "0";
}

// Whether the desktop took the bitmap; when not, the system's reason.
struct DesktopResult {
  bool applied = false;
  std::string reason;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Writes "Wallpaper" = bitmapPath, "WallpaperStyle" and "TileWallpaper" for the position, and
  // "StrechWallpaper" ("1" for Centre, else "0", which earlier versions of the program wrote) as
  // REG_SZ under HKEY_CURRENT_USER\Control Panel\Desktop (creating the key when missing), then
  // tells the desktop with SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, bitmapPath,
  // SPIF_SENDWININICHANGE). Throws dova::Error when a value cannot be written; a refusal of the
  // system call is the result, with the system's text.
  virtual DesktopResult SetWallpaper(const std::string& bitmapPath, WallpaperPosition position) = 0;
  // Where the desktop starts tiling a bitmap: at the primary monitor's (0,0) (Windows 7), or at
  // the top-left corner of the virtual screen (later Windows, Wine; the default).
  virtual bool TilesFromPrimaryMonitor() { return false; }
  // The per-monitor wallpapers when the system offers them, else null (Windows 7, Wine, and
  // natively). Owned by the desktop.
  virtual MonitorWallpaper* MonitorWallpapers() { return nullptr; }
  // Opens a web address with the default handler; the result is ignored.
  virtual void OpenUrl(const std::string& url) = 0;
};

// The current user's desktop on this system (the registry on Windows; natively a file
// "desktop.ini" in DOVA_DESKTOP_DIR or the working directory, so that runs can be checked).
Desktop& SystemDesktop();

}  // namespace dova
