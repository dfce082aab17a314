// Where each monitor's picture goes when one bitmap covers the whole desktop. The desktop tiles
// such a bitmap, the size of the virtual screen, from a starting point: the virtual screen's
// top-left corner (Windows 8 and later, Wine) or the primary monitor's (0,0) (Windows 7). In
// the second case a monitor at negative coordinates wraps round to the far edge of the bitmap,
// and may be cut in up to four parts. Bitmap pixels no monitor shows are gaps.
#pragma once

#include <string>
#include <vector>

#include "platform/screen.h"
#include "wallpaper/placement.h"

namespace dova {

enum class TileStart { VirtualScreen, PrimaryMonitor };

// The smallest rectangle that holds every monitor (x, y may be negative); empty for none.
PictureRect VirtualScreen(const std::vector<MonitorArea>& monitors);

struct ComposedLayout {
  int width = 0, height = 0;  // the bitmap: the virtual screen's size
  // Per monitor, in the order given: where its top-left pixel lands in the bitmap (0 <= x <
  // width, 0 <= y < height) and its size. Its pixel (i, j) lands at ((x + i) mod width,
  // (y + j) mod height).
  std::vector<PictureRect> places;
};

ComposedLayout ComposeLayout(const std::vector<MonitorArea>& monitors, TileStart start);

// The parts of `place` inside the bitmap once it wraps at the edges: one to four rectangles.
std::vector<PictureRect> WrappedParts(const ComposedLayout& layout, const PictureRect& place);

// The columns of bitmap row y that no monitor shows, as rectangles one row high, left to right.
std::vector<PictureRect> GapsInRow(const ComposedLayout& layout, int y);

// The order in which the monitors take pictures one each: the primary first, then the others
// from left to right and, at the same left edge, from top to bottom. Indexes into `monitors`.
std::vector<int> ScreenOrder(const std::vector<MonitorArea>& monitors);

// The picture a monitor showed, kept by its device path.
struct MonitorPicture {
  std::string devicePath;
  std::string source;
};

// The picture for each of `monitors` (in their order) when the layout changed but the pictures
// did not: a monitor known by its path keeps its own picture whatever its new place in the
// order; the others take the pictures no known monitor kept, in turn, or the first of `shown`
// when there are none left. Empty texts when `shown` is empty.
std::vector<std::string> PicturesForMonitors(const std::vector<MonitorPicture>& shown,
                                             const std::vector<MonitorArea>& monitors);

}  // namespace dova
