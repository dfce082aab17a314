// COM for the calling thread while a scope lasts: the shell's dialogs and the desktop's
// wallpaper object need it. CoUninitialize only when this scope's CoInitializeEx succeeded.
#pragma once

#include <objbase.h>

namespace dova {

class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

}  // namespace dova
