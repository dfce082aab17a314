#include "tests/support/fake_platform.h"

#include <string>

#include "platform/error.h"

namespace dova::testing {

DesktopResult FakeDesktop::SetWallpaper(const std::string& path, WallpaperPosition at) {
  if (failWrites) throw Error("Unable to write the desktop settings");
  DesktopResult result;
  if (!refusal.empty()) {
    ++refused;
    result.reason = refusal;
    return result;
  }
  wallpaper = path;
  position = at;
  stretch = StrechWallpaperValue(at);
  ++calls;
  result.applied = true;
  return result;
}

std::string CorePath(const std::string& posixPath) {
#ifdef _WIN32
  // Under Wine the Linux file system is drive Z:.
  std::string path = posixPath.size() > 1 && posixPath[0] == '/' ? "Z:" + posixPath : posixPath;
#else
  std::string path = posixPath;
#endif
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace dova::testing
