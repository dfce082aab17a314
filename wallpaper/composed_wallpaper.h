// The wallpaper of several monitors as one bitmap the size of the virtual screen, for a desktop
// that takes one bitmap and tiles it (Windows 7, Wine): each monitor's picture is made at that
// monitor's size and streamed into its place, a few rows at a time; the pixels no monitor shows
// take the fit colour.
#pragma once

#include <string>
#include <vector>

#include "wallpaper/monitor_layout.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {

// How a width x height picture becomes a screenWidth x screenHeight screen's picture in `mode`:
// stretched (Windows and the program's resizing: a monitor of a composed bitmap has nobody else
// to stretch it), filled, fitted, or centred at its own size and cut at the screen's edges
// (None). Margins are `background`.
Placement PlacementForMode(ResizeMode mode, int width, int height, int screenWidth,
                           int screenHeight, PackedRgb background);

// One place of the layout covering the whole virtual screen, for one picture across all
// monitors.
ComposedLayout SpanLayout(const std::vector<MonitorArea>& monitors, TileStart start);

// Writes the bitmap `target` (aside, then moved into place) of the layout's size: sources[i]
// (JPEG, PNG or BMP) made for layout.places[i] as `options` say (mode, filter, fit colour,
// threads, cancel; options.screen is not used), the gaps in the fit colour. Returns false and
// names the missing file in `missing`, writing nothing, when a source does not exist. Throws as
// ConvertPicture does; no file is left at the target then.
bool ComposeWallpaper(const std::vector<std::string>& sources, const ComposedLayout& layout,
                      const std::string& target, const ConvertOptions& options,
                      std::string& missing);

}  // namespace dova
