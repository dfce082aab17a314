// The per-monitor wallpapers through the desktop wallpaper object (IDesktopWallpaper).
#pragma once

#include <vector>

#include "platform/monitor_wallpaper.h"

struct IDesktopWallpaper;

namespace dova {

// Does MonitorWallpaper::SetWallpapers with `object`: a monitor of its list is attached when it
// has a rectangle (GetMonitorRECT answers S_OK). Calls SetPosition once, before the bitmaps,
// and only when some attached monitor has one.
DesktopResult SetMonitorWallpapersWith(IDesktopWallpaper& object,
                                       const std::vector<MonitorBitmap>& bitmaps,
                                       WallpaperPosition position);

// The system's per-monitor wallpapers, or null when the desktop wallpaper object cannot be
// created (before Windows 8, and on Wine). Decided at the first call.
MonitorWallpaper* SystemMonitorWallpaper();

}  // namespace dova
