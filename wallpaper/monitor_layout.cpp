#include "wallpaper/monitor_layout.h"

#include <algorithm>

namespace dova {

namespace {

// a mod m in 0 .. m - 1, also for negative a.
int Wrap(int a, int m) { return ((a % m) + m) % m; }

}  // namespace

PictureRect VirtualScreen(const std::vector<MonitorArea>& monitors) {
  if (monitors.empty()) return {};
  int left = monitors[0].left, top = monitors[0].top;
  int right = left + monitors[0].width, bottom = top + monitors[0].height;
  for (const MonitorArea& m : monitors) {
    left = std::min(left, m.left);
    top = std::min(top, m.top);
    right = std::max(right, m.left + m.width);
    bottom = std::max(bottom, m.top + m.height);
  }
  return {left, top, right - left, bottom - top};
}

ComposedLayout ComposeLayout(const std::vector<MonitorArea>& monitors, TileStart start) {
  const PictureRect screen = VirtualScreen(monitors);
  ComposedLayout layout;
  layout.width = screen.width;
  layout.height = screen.height;
  if (screen.width < 1 || screen.height < 1) return layout;
  const int originX = start == TileStart::VirtualScreen ? screen.x : 0;
  const int originY = start == TileStart::VirtualScreen ? screen.y : 0;
  for (const MonitorArea& m : monitors)
    layout.places.push_back({Wrap(m.left - originX, screen.width),
                             Wrap(m.top - originY, screen.height), m.width, m.height});
  return layout;
}

std::vector<PictureRect> WrappedParts(const ComposedLayout& layout, const PictureRect& place) {
  // A monitor is never larger than the virtual screen, so each direction splits at most once.
  std::vector<PictureRect> columns, parts;
  const int rightPart = std::max(0, place.x + place.width - layout.width);
  columns.push_back({place.x, 0, place.width - rightPart, 0});
  if (rightPart > 0) columns.push_back({0, 0, rightPart, 0});
  const int lowerPart = std::max(0, place.y + place.height - layout.height);
  for (const PictureRect& c : columns) {
    parts.push_back({c.x, place.y, c.width, place.height - lowerPart});
    if (lowerPart > 0) parts.push_back({c.x, 0, c.width, lowerPart});
  }
  return parts;
}

std::vector<PictureRect> GapsInRow(const ComposedLayout& layout, int y) {
  std::vector<PictureRect> covered;
  for (const PictureRect& place : layout.places)
    for (const PictureRect& part : WrappedParts(layout, place))
      if (y >= part.y && y < part.y + part.height) covered.push_back(part);
  std::sort(covered.begin(), covered.end(),
            [](const PictureRect& a, const PictureRect& b) { return a.x < b.x; });
  std::vector<PictureRect> gaps;
  int x = 0;
  for (const PictureRect& part : covered) {
    if (part.x > x) gaps.push_back({x, y, part.x - x, 1});
    x = std::max(x, part.x + part.width);
  }
  if (x < layout.width) gaps.push_back({x, y, layout.width - x, 1});
  return gaps;
}

std::vector<int> ScreenOrder(const std::vector<MonitorArea>& monitors) {
  std::vector<int> order;
  for (int i = 0; i < static_cast<int>(monitors.size()); ++i) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&monitors](int a, int b) {
    const MonitorArea &x = monitors[a], &y = monitors[b];
    if (x.primary != y.primary) return x.primary;
    if (x.left != y.left) return x.left < y.left;
    return x.top < y.top;
  });
  return order;
}

std::vector<std::string> PicturesForMonitors(const std::vector<MonitorPicture>& shown,
                                             const std::vector<MonitorArea>& monitors) {
  std::vector<std::string> pictures(monitors.size());
  if (shown.empty()) return pictures;
  std::vector<bool> kept(shown.size(), false), placed(monitors.size(), false);
  for (std::size_t m = 0; m < monitors.size(); ++m)
    for (std::size_t s = 0; s < shown.size(); ++s)
      if (!kept[s] && !monitors[m].devicePath.empty() &&
          shown[s].devicePath == monitors[m].devicePath) {
        pictures[m] = shown[s].source;
        kept[s] = placed[m] = true;
        break;
      }
  std::size_t next = 0;
  for (int m : ScreenOrder(monitors)) {
    if (placed[m]) continue;
    while (next < shown.size() && kept[next]) ++next;
    pictures[m] = next < shown.size() ? shown[next++].source : shown.front().source;
  }
  return pictures;
}

}  // namespace dova
