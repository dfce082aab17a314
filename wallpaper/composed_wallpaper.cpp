#include "wallpaper/composed_wallpaper.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/file_system.h"
#include "wallpaper/bmp_file.h"
#include "wallpaper/picture_conversion.h"

namespace dova {

namespace {

// The part of a picture shown centred at its own size, and where it lies on the screen.
Placement CentrePlacement(int width, int height, int screenWidth, int screenHeight,
                          PackedRgb background) {
  Placement placement;
  placement.canvasWidth = screenWidth;
  placement.canvasHeight = screenHeight;
  placement.background = background;
  const int shownWidth = std::min(width, screenWidth), shownHeight = std::min(height, screenHeight);
  placement.source = {(width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth,
                      shownHeight};
  placement.target = {(screenWidth - shownWidth) / 2, (screenHeight - shownHeight) / 2, shownWidth,
                      shownHeight};
  return placement;
}

// Writes the layout's gaps in `colour`, row by row.
void WriteGaps(BmpFileWriter& writer, const ComposedLayout& layout, PackedRgb colour) {
  std::vector<std::uint8_t> row;
  for (int y = 0; y < layout.height; ++y)
    for (const PictureRect& gap : GapsInRow(layout, y)) {
      row.resize(static_cast<std::size_t>(gap.width) * 3);
      for (int x = 0; x < gap.width; ++x) {
        row[x * 3] = static_cast<std::uint8_t>(colour & 0xFF);
        row[x * 3 + 1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
      }
      writer.WritePixels(y, gap.x, gap.width, row.data());
    }
}

}  // namespace

Placement PlacementForMode(ResizeMode mode, int width, int height, int screenWidth,
                           int screenHeight, PackedRgb background) {
  switch (mode) {
    case ResizeMode::Fill:
      return FillPlacement(width, height, screenWidth, screenHeight);
    case ResizeMode::Fit:
      return FitPlacement(width, height, screenWidth, screenHeight, background);
    case ResizeMode::None:
      return CentrePlacement(width, height, screenWidth, screenHeight, background);
    default:
      return StretchPlacement(width, height, screenWidth, screenHeight);
  }
}

ComposedLayout SpanLayout(const std::vector<MonitorArea>& monitors, TileStart start) {
  const PictureRect screen = VirtualScreen(monitors);
  MonitorArea whole;
  whole.left = screen.x;
  whole.top = screen.y;
  whole.width = screen.width;
  whole.height = screen.height;
  return ComposeLayout({whole}, start);
}

bool ComposeWallpaper(const std::vector<std::string>& sources, const ComposedLayout& layout,
                      const std::string& target, const ConvertOptions& options,
                      std::string& missing) {
  for (const std::string& source : sources)
    if (!FileExists(source)) {
      missing = source;
      return false;
    }
  ThrowIfCancelled(options.cancel);
  BmpFileWriter writer(target, layout.width, layout.height, 24);
  WriteGaps(writer, layout, options.fitColour);
  PictureReadOptions read;
  read.cancel = options.cancel;
  read.background = options.mode == ResizeMode::Fit ? options.fitColour : 0x000000;
  const std::size_t count = std::min(sources.size(), layout.places.size());
  for (std::size_t i = 0; i < count; ++i) {
    const PictureRect& place = layout.places[i];
    const std::unique_ptr<PictureRowReader> reader = OpenPictureReader(sources[i], read);
    const Placement placement = PlacementForMode(options.mode, reader->Width(), reader->Height(),
                                                 place.width, place.height, options.fitColour);
    const std::size_t stride = (static_cast<std::size_t>(place.width) * 3 + 3) & ~std::size_t{3};
    // The monitor's rows go to their row of the bitmap, wrapping at its bottom and, cut in two,
    // at its right edge.
    const int beforeEdge = std::min(place.width, layout.width - place.x);
    PlacePictureRows(*reader, placement, FilterForIndex(options.filterIndex), options.threads,
                     options.cancel, [&](int first, int rows, const std::uint8_t* band) {
                       // The band comes bottom-up; its rows go down the bitmap in runs that
                       // stop at the bitmap's bottom edge.
                       const std::ptrdiff_t up = -static_cast<std::ptrdiff_t>(stride);
                       for (int r = 0; r < rows;) {
                         const int y = (place.y + first + r) % layout.height;
                         const int run = std::min(rows - r, layout.height - y);
                         const std::uint8_t* top = band + stride * (rows - 1 - r);
                         writer.WritePixels(y, place.x, beforeEdge, top, run, up);
                         writer.WritePixels(y, 0, place.width - beforeEdge, top + beforeEdge * 3,
                                            run, up);
                         r += run;
                       }
                     });
  }
  writer.Finish();
  return true;
}

}  // namespace dova
