// Turning a picture file into the desktop wallpaper. Two working bitmaps in the data directory,
// "wallpaper1.bmp" and "wallpaper2.bmp", are used in turn: each change writes the one that is
// not the current wallpaper, points the desktop at it, and then deletes the other. Where each
// monitor has a bitmap of its own, two sets of them take turns the same way.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/screen.h"
#include "wallpaper/cancellation.h"
#include "wallpaper/picture_reader.h"
#include "wallpaper/resize_mode.h"

namespace dova {

struct WallpaperFiles {
  std::string target;    // the bitmap to write now
  std::string previous;  // the bitmap in use until now, deleted after the change
};

// When dataDir + "wallpaper1.bmp" exists the target is "wallpaper2.bmp", otherwise
// "wallpaper1.bmp"; the previous file is the other one. Tested at the moment of the call.
WallpaperFiles ChooseWallpaperFiles(const std::string& dataDir);

// The bitmaps of `count` monitors when each has its own: dataDir + "wallpaper1-1.bmp",
// "wallpaper1-2.bmp", ... or, when "wallpaper1-1.bmp" exists, the set "wallpaper2-<n>.bmp", so
// that the bitmaps in use are never written over.
std::vector<std::string> ChooseMonitorBitmaps(const std::string& dataDir, std::size_t count);

// Deletes the working bitmaps in dataDir ("wallpaper1.bmp", "wallpaper2.bmp" and the monitors'
// "wallpaper1-<n>.bmp", "wallpaper2-<n>.bmp") except those in `inUse`: after a change only the
// desktop's bitmaps are left, also when it has fewer monitors than before.
void RemoveWallpaperBitmapsExcept(const std::string& dataDir,
                                  const std::vector<std::string>& inUse);

struct ConvertOptions {
  ResizeMode mode = ResizeMode::Windows;  // Program, Fill, Fit: resample to the screen size
  ScreenSize screen;                      // the primary screen, read at the moment of the change
  int filterIndex = 6;  // index in the filter list; outside 0..6 the default filter
  PackedRgb fitColour =
      0x000000;     // the ground around a fitted picture, and under its transparent parts
  int threads = 0;  // threads at work, the calling one included; 0: one a processor
  // When given, another thread may set it to stop the conversion (see ConvertPicture). The
  // flag must outlive the call.
  const CancelFlag* cancel = nullptr;
};

// Decodes the picture `source` (JPEG, PNG or BMP, by its content) and writes it as a BMP at
// `target`: resampled to the screen size in ResizeMode::Program, Fill and Fit, placed as
// wallpaper/placement.h says (a picture already of the screen's size is written as it is), at
// its own size in the other modes. Transparent pixels show the fit colour in Fit, black in the
// others. Returns
// false, writing nothing, when no file exists at `source`: the caller reports that. Throws
// dova::Error when the picture cannot be decoded or the bitmap cannot be written.
//
// The picture is decoded a few rows at a time and written as it comes, never held whole; the
// resampling is shared among `threads` threads and gives the same bits for any number of them.
// The conversion uses no window and no message queue, so it may run on a worker thread while
// the window's thread goes on answering. Setting `*options.cancel` stops it within a few
// milliseconds: it then throws ConversionCancelled (a dova::Error). A failure or cancellation
// after the target was begun removes it: no half-written bitmap is left.
bool ConvertPicture(const std::string& source, const std::string& target,
                    const ConvertOptions& options);

}  // namespace dova
