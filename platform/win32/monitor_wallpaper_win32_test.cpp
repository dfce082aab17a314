// The per-monitor wallpapers against a desktop wallpaper object of the test's own.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0602
#define WINVER 0x0602
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "platform/win32/monitor_wallpaper_win32.h"

namespace dova {
namespace {

struct FakeMonitor {
  std::wstring id;
  HRESULT rect;  // what GetMonitorRECT answers: S_OK when attached
};

// Lists its monitors and records what is set; everything else is refused.
class FakeDesktopWallpaper : public IDesktopWallpaper {
 public:
  std::vector<FakeMonitor> monitors;
  std::vector<std::pair<std::wstring, std::wstring>> wallpapers;  // monitor, bitmap
  std::vector<DESKTOP_WALLPAPER_POSITION> positions;
  HRESULT setWallpaperAnswer = S_OK;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR monitor, LPCWSTR wallpaper) override {
    if (SUCCEEDED(setWallpaperAnswer)) wallpapers.emplace_back(monitor, wallpaper);
    return setWallpaperAnswer;
  }
  HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR, LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR* id) override {
    if (index >= monitors.size()) return E_INVALIDARG;
    const std::wstring& path = monitors[index].id;
    *id = static_cast<LPWSTR>(CoTaskMemAlloc((path.size() + 1) * sizeof(wchar_t)));
    wcscpy(*id, path.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) override {
    *count = static_cast<UINT>(monitors.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR id, RECT* area) override {
    *area = RECT{0, 0, 0, 0};
    for (const FakeMonitor& monitor : monitors)
      if (monitor.id == id) {
        if (monitor.rect == S_OK) *area = RECT{0, 0, 1920, 1080};
        return monitor.rect;
      }
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPosition(DESKTOP_WALLPAPER_POSITION position) override {
    positions.push_back(position);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPosition(DESKTOP_WALLPAPER_POSITION*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSlideshow(IShellItemArray*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSlideshow(IShellItemArray**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetStatus(DESKTOP_SLIDESHOW_STATE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Enable(WINBOOL) override { return E_NOTIMPL; }
};

const wchar_t kLeft[] =
    L"\\\\?\\DISPLAY#DEL4100#5&1a2b3c&0&UID4353#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}";
const wchar_t kRight[] =
    L"\\\\?\\DISPLAY#GSM5B7F#5&1a2b3c&0&UID4354#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}";
const wchar_t kOld[] =
    L"\\\\?\\DISPLAY#SAM0F9A#5&1a2b3c&0&UID4355#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}";
const wchar_t kUnplugged[] =
    L"\\\\?\\DISPLAY#ACR0B12#5&1a2b3c&0&UID4356#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(Win32MonitorWallpaper, OnePositionAndTheBitmapOfEachAttachedMonitor) {
  FakeDesktopWallpaper object;
  // The system remembers monitors no longer attached: with no rectangle, or with an error.
  object.monitors = {{kOld, S_FALSE}, {kLeft, S_OK}, {kUnplugged, E_FAIL}, {kRight, S_OK}};
  // The program names the monitors as EnumDisplayDevicesW does, not always in the same case;
  // a bitmap of a detached monitor is left out.
  std::string left = Narrow(kLeft);
  left.replace(left.find("DEL4100"), 7, "del4100");
  const std::vector<MonitorBitmap> bitmaps = {{Narrow(kRight), "C:\\Dova\\wallpaper1-2.bmp"},
                                              {left, "C:\\Dova\\wallpaper1-1.bmp"},
                                              {Narrow(kOld), "C:\\Dova\\wallpaper1-3.bmp"}};
  const DesktopResult result = SetMonitorWallpapersWith(object, bitmaps, WallpaperPosition::Centre);
  EXPECT_TRUE(result.applied) << result.reason;
  ASSERT_EQ(object.positions.size(), 1u);
  EXPECT_EQ(object.positions[0], DWPOS_CENTER);
  ASSERT_EQ(object.wallpapers.size(), 2u);
  EXPECT_EQ(object.wallpapers[0].first, kLeft);
  EXPECT_EQ(object.wallpapers[0].second, L"C:\\Dova\\wallpaper1-1.bmp");
  EXPECT_EQ(object.wallpapers[1].first, kRight);
  EXPECT_EQ(object.wallpapers[1].second, L"C:\\Dova\\wallpaper1-2.bmp");

  // A refusal is the result, with the system's reason.
  object.wallpapers.clear();
  object.setWallpaperAnswer = E_ACCESSDENIED;
  const DesktopResult refused =
      SetMonitorWallpapersWith(object, bitmaps, WallpaperPosition::Stretch);
  EXPECT_FALSE(refused.applied);
  EXPECT_FALSE(refused.reason.empty());
  EXPECT_EQ(object.positions.back(), DWPOS_STRETCH);

  // No attached monitor of the program's: nothing is set, not even the position.
  object.setWallpaperAnswer = S_OK;
  const DesktopResult none = SetMonitorWallpapersWith(
      object, {{Narrow(kOld), "C:\\Dova\\wallpaper2-1.bmp"}}, WallpaperPosition::Tile);
  EXPECT_FALSE(none.applied);
  EXPECT_FALSE(none.reason.empty());
  EXPECT_EQ(object.positions.size(), 2u);
  EXPECT_TRUE(object.wallpapers.empty());
}

}  // namespace
}  // namespace dova
