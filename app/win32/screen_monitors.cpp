// The monitors of the desktop as Windows lists them, each identified by the device interface
// path of its display device rather than by its place in the list, which changes when monitors
// come and go.
#include <windows.h>

#include <vector>

#include "app/win32/window_services.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

// The interface path of the monitor shown by the adapter `adapterName` ("\\.\DISPLAY1"); the
// adapter's own name when the system gives no path (Wine gives none for some drivers).
std::string DeviceInterfacePath(const wchar_t* adapterName) {
  DISPLAY_DEVICEW device = {};
  device.cb = sizeof device;
  for (DWORD i = 0; EnumDisplayDevicesW(adapterName, i, &device, EDD_GET_DEVICE_INTERFACE_NAME);
       ++i) {
    if ((device.StateFlags & DISPLAY_DEVICE_ACTIVE) && device.DeviceID[0] != L'\0')
      return Utf8(device.DeviceID);
    device = {};
    device.cb = sizeof device;
  }
  return Utf8(adapterName);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFOEXW info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  MonitorArea area;
  area.left = info.rcMonitor.left;
  area.top = info.rcMonitor.top;
  area.width = info.rcMonitor.right - info.rcMonitor.left;
  area.height = info.rcMonitor.bottom - info.rcMonitor.top;
  area.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  area.devicePath = DeviceInterfacePath(info.szDevice);
  if (area.width > 0 && area.height > 0)
    reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(area);
  return TRUE;
}

}  // namespace

std::vector<MonitorArea> Win32Screen::Monitors() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) return Screen::Monitors();
  return monitors;
}

}  // namespace dova
