// The desktop wallpaper object is declared only for Windows 8 and later; this file alone asks
// for it, the rest of the program keeps to what Windows 7 has and learns at run time whether
// the object is there.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0602
#define WINVER 0x0602
#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <shobjidl.h>

#include <string>

#include "platform/win32/com_scope.h"
#include "platform/win32/monitor_wallpaper_win32.h"
#include "platform/win32/registry.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

DESKTOP_WALLPAPER_POSITION DesktopPosition(WallpaperPosition position) {
  switch (position) {
    case WallpaperPosition::Centre:
      return DWPOS_CENTER;
    case WallpaperPosition::Tile:
      return DWPOS_TILE;
    case WallpaperPosition::Stretch:
      break;
  }
  return DWPOS_STRETCH;
}

DesktopResult Refused(HRESULT code) {
  DesktopResult result;
  result.reason = SystemErrorText(static_cast<unsigned long>(code));
  return result;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

struct MonitorAssignment {
  std::wstring monitor;
  std::wstring bitmap;
};

// The attached monitors of the object's list that have a bitmap.
std::vector<MonitorAssignment> AttachedWithBitmaps(IDesktopWallpaper& object,
                                                   const std::vector<MonitorBitmap>& bitmaps) {
  std::vector<MonitorAssignment> assigned;
  UINT count = 0;
  if (FAILED(object.GetMonitorDevicePathCount(&count))) return assigned;
  for (UINT i = 0; i < count; ++i) {
    LPWSTR id = nullptr;
    if (FAILED(object.GetMonitorDevicePathAt(i, &id)) || !id) continue;
    const std::wstring monitor(id);
    CoTaskMemFree(id);
    RECT area;
    if (object.GetMonitorRECT(monitor.c_str(), &area) != S_OK) continue;  // detached
    for (const MonitorBitmap& bitmap : bitmaps) {
      if (!SamePath(Wide(bitmap.devicePath), monitor)) continue;
      assigned.push_back({monitor, Wide(bitmap.bitmapPath)});
      break;
    }
  }
  return assigned;
}

HRESULT CreateDesktopWallpaper(IDesktopWallpaper** object) {
  return CoCreateInstance(CLSID_DesktopWallpaper, nullptr, CLSCTX_ALL, IID_IDesktopWallpaper,
                          reinterpret_cast<void**>(object));
}

class WindowsMonitorWallpaper : public MonitorWallpaper {
 public:
  DesktopResult SetWallpapers(const std::vector<MonitorBitmap>& bitmaps,
                              WallpaperPosition position) override {
    {
      // Earlier versions of the program read their own value back.
      UserRegistryKey key = UserRegistryKey::Create("Control Panel\\Desktop");
      key.SetString("StrechWallpaper", StrechWallpaperValue(position));
    }
    ComScope com;
    IDesktopWallpaper* object = nullptr;
    const HRESULT created = CreateDesktopWallpaper(&object);
    if (FAILED(created)) return Refused(created);
    const DesktopResult result = SetMonitorWallpapersWith(*object, bitmaps, position);
    object->Release();
    return result;
  }
};

}  // namespace

DesktopResult SetMonitorWallpapersWith(IDesktopWallpaper& object,
                                       const std::vector<MonitorBitmap>& bitmaps,
                                       WallpaperPosition position) {
  const std::vector<MonitorAssignment> assigned = AttachedWithBitmaps(object, bitmaps);
  if (assigned.empty()) return Refused(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
  HRESULT code = object.SetPosition(DesktopPosition(position));
  if (FAILED(code)) return Refused(code);
  for (const MonitorAssignment& monitor : assigned) {
    code = object.SetWallpaper(monitor.monitor.c_str(), monitor.bitmap.c_str());
    if (FAILED(code)) return Refused(code);
  }
  DesktopResult result;
  result.applied = true;
  return result;
}

MonitorWallpaper* SystemMonitorWallpaper() {
  static const bool offered = [] {
    ComScope com;
    IDesktopWallpaper* object = nullptr;
    if (FAILED(CreateDesktopWallpaper(&object))) return false;
    object->Release();
    return true;
  }();
  static WindowsMonitorWallpaper wallpaper;
  return offered ? &wallpaper : nullptr;
}

}  // namespace dova
