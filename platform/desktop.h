// The desktop wallpaper and the web browser of the current user.
#pragma once

#include <string>

namespace dova {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Writes "Wallpaper" = bitmapPath and "StrechWallpaper" = "1" or "0" as REG_SZ under
  // HKEY_CURRENT_USER\Control Panel\Desktop (creating the key when missing), then tells the
  // desktop with SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, bitmapPath, SPIF_SENDWININICHANGE).
  // Throws dova::Error when a value cannot be written; the system call's result is not checked.
  virtual void SetWallpaper(const std::string& bitmapPath, bool doNotResize) = 0;
  // Opens a web address with the default handler; the result is ignored.
  virtual void OpenUrl(const std::string& url) = 0;
};

// The current user's desktop on this system (the registry on Windows; natively a file
// "desktop.ini" in DOVA_DESKTOP_DIR or the working directory, so that runs can be checked).
Desktop& SystemDesktop();

}  // namespace dova
