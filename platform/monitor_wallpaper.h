// A bitmap of its own for each monitor, where the system offers that (the desktop wallpaper
// object of Windows 8 and later).
#pragma once

#include <string>
#include <vector>

#include "platform/desktop.h"

namespace dova {

// The bitmap of one monitor, which is named by its device interface path.
struct MonitorBitmap {
  std::string devicePath;
  std::string bitmapPath;
};

class MonitorWallpaper {
 public:
  virtual ~MonitorWallpaper() = default;
  // Sets each monitor attached now that has a bitmap here (paths compared without regard to
  // case) to that bitmap, and the position once for all of them. Monitors the system remembers
  // but that are detached now are left alone. Not applied, with the system's reason, when the
  // system refuses a call or no attached monitor has a bitmap.
  virtual DesktopResult SetWallpapers(const std::vector<MonitorBitmap>& bitmaps,
                                      WallpaperPosition position) = 0;
};

}  // namespace dova
