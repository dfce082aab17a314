#include "app/win32/network_change_watch.h"

#include <iphlpapi.h>

namespace dova {

NetworkChangeWatch::NetworkChangeWatch(HWND window, UINT message)
    : window_(window), message_(message) {
  overlapped_.hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!overlapped_.hEvent || !Arm()) return;
  // The wait runs on the thread pool; the callback only posts, the window does the work.
  if (!RegisterWaitForSingleObject(&wait_, overlapped_.hEvent, &Changed, this, INFINITE,
                                   WT_EXECUTEDEFAULT))
    wait_ = nullptr;
}

NetworkChangeWatch::~NetworkChangeWatch() {
  // INVALID_HANDLE_VALUE: returns once a callback that is running has ended.
  if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
  CancelIPChangeNotify(&overlapped_);
  if (overlapped_.hEvent) CloseHandle(overlapped_.hEvent);
}

bool NetworkChangeWatch::Arm() {
  HANDLE handle = nullptr;
  const DWORD result = NotifyAddrChange(&handle, &overlapped_);
  return result == ERROR_IO_PENDING || result == NO_ERROR;
}

void CALLBACK NetworkChangeWatch::Changed(void* self, BOOLEAN) {
  NetworkChangeWatch& watch = *static_cast<NetworkChangeWatch*>(self);
  PostMessageW(watch.window_, watch.message_, 0, 0);
  watch.Arm();  // one report per call: ask for the next one
}

}  // namespace dova
