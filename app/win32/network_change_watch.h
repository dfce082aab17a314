// Tells a window when the system's network addresses change (a cable plugged in, Wi-Fi joined,
// a VPN up): NotifyAddrChange, re-armed after each report, with the report posted to the window
// as a message so that it is handled on the GUI thread.
#pragma once

#include <windows.h>

namespace dova {

class NetworkChangeWatch {
 public:
  // Starts watching; when the system offers no such report the watch stays silent.
  NetworkChangeWatch(HWND window, UINT message);
  ~NetworkChangeWatch();
  NetworkChangeWatch(const NetworkChangeWatch&) = delete;
  NetworkChangeWatch& operator=(const NetworkChangeWatch&) = delete;

 private:
  static void CALLBACK Changed(void* self, BOOLEAN timedOut);
  bool Arm();

  HWND window_;
  UINT message_;
  OVERLAPPED overlapped_{};
  HANDLE wait_ = nullptr;
};

}  // namespace dova
