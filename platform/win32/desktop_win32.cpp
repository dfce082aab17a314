// The current user's desktop: wallpaper values in the registry, the shell for web addresses.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <string>

#include "platform/desktop.h"
#include "platform/win32/monitor_wallpaper_win32.h"
#include "platform/win32/registry.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

bool RunsOnWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class WindowsDesktop : public Desktop {
 public:
  DesktopResult SetWallpaper(const std::string& bitmapPath, WallpaperPosition position) override {
    {
      // The bitmap's name last: whoever sees it finds the style it is shown with.
      UserRegistryKey key = UserRegistryKey::Create("Control Panel\\Desktop");
      key.SetString("WallpaperStyle", WallpaperStyleValue(position));
      key.SetString("TileWallpaper", TileWallpaperValue(position));
      key.SetString("StrechWallpaper", StrechWallpaperValue(position));
      key.SetString("Wallpaper", bitmapPath);
    }
    // The values are in the registry already: only tell the desktop, do not write the profile.
    // The bitmap is named in the call itself: a null name asks Windows for its default
    // wallpaper instead.
    std::wstring path = Wide(bitmapPath);
    DesktopResult result;
    result.applied =
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_SENDWININICHANGE) != 0;
    if (!result.applied) result.reason = SystemErrorText(GetLastError());
    return result;
  }

  // Windows 7 tiles the wallpaper from the primary monitor's (0,0); Windows 8, which brought the
  // desktop wallpaper object, and Wine tile from the virtual screen's top-left corner.
  bool TilesFromPrimaryMonitor() override {
    static const bool fromPrimary = !RunsOnWine() && !SystemMonitorWallpaper();
    return fromPrimary;
  }

  MonitorWallpaper* MonitorWallpapers() override { return SystemMonitorWallpaper(); }

  void OpenUrl(const std::string& url) override {
    ShellExecuteW(nullptr, L"", Wide(url).c_str(), L"", L"", SW_SHOWNORMAL);
  }
};

}  // namespace

Desktop& SystemDesktop() {
  static WindowsDesktop desktop;
  return desktop;
}

}  // namespace dova
