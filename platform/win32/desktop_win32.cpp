// The current user's desktop: wallpaper values in the registry, the shell for web addresses.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/desktop.h"
#include "platform/win32/registry.h"

namespace dova {

namespace {

class WindowsDesktop : public Desktop {
 public:
  void SetWallpaper(const std::string& bitmapPath, bool doNotResize) override {
    {
      UserRegistryKey key = UserRegistryKey::Create("Control Panel\\Desktop");
      key.SetString("Wallpaper", bitmapPath);
      key.SetString("StrechWallpaper", doNotResize ? "1" : "0");
    }
    // The values are in the registry already: only tell the desktop, do not write the profile.
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, nullptr, SPIF_SENDWININICHANGE);
  }

  void OpenUrl(const std::string& url) override {
    ShellExecuteA(nullptr, "", url.c_str(), "", "", SW_SHOWNORMAL);
  }
};

}  // namespace

Desktop& SystemDesktop() {
  static WindowsDesktop desktop;
  return desktop;
}

}  // namespace dova
