// The wallpaper change that both working modes run once they have a picture file: convert it
// into the working bitmap that is not in use, point the desktop at that bitmap, record the time
// and delete the previous bitmap, with the status texts of the mode that runs it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "form/app_context.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {

// The resize mode of the form, the screen size now, the filter of ComboBox5 and the fit colour.
ConvertOptions CurrentConvertOptions(AppContext& context);

// How often the window is served while a conversion runs, in milliseconds.
constexpr int kServeEveryMs = 10;

// Converts as ConvertPicture does, on a thread of its own, while this thread goes on pumping
// the window's messages every kServeEveryMs until it ends. The conversion's errors are thrown
// here, and ConversionCancelled when the window was closed meanwhile (options.cancel is not
// used: the window's closing is the one reason to stop).
bool ConvertBesideTheWindow(AppContext& context, const std::string& source,
                            const std::string& target, const ConvertOptions& options);

// What differs between the two modes.
struct WallpaperChangeTexts {
  std::string converting;  // shown and logged before the conversion
  std::string updating;    // shown before the desktop is told, logged when logUpdating
  bool logUpdating = false;
};

enum class ChangeOutcome {
  Changed,
  SourceMissing,   // reported; nothing changed
  DesktopRefused,  // reported; the desktop keeps its bitmap
};

// How the desktop shows a bitmap made in `mode`: centred at its own size for ResizeMode::None,
// stretched otherwise (a bitmap the program sized is stretched too, so that one a pixel off
// still covers the screen).
WallpaperPosition PositionForMode(ResizeMode mode);

// Converts `source` into the working bitmap that is not in use, points the desktop at it and,
// once the desktop took it, runs `changed` (the mode's own bookkeeping), sets
// PreviousSetWallpaper to now, deletes the previous bitmap and clears the status.
// When `source` is missing: status and Notice line phrase "notfound1" + " " + source + " " +
// phrase "notfound2". When the desktop refuses the bitmap: status and Error line phrase
// "desktoperror" + ": " + the system's reason, and the new bitmap is deleted. Either way the
// current wallpaper, its file, PreviousSetWallpaper and whatever `changed` would record stay.
// Decoding errors and registry write errors propagate, and so does ConversionCancelled when the
// window is closed during the conversion: nothing has changed then.
ChangeOutcome ChangeWallpaper(AppContext& context, const std::string& source,
                              const WallpaperChangeTexts& texts,
                              const std::function<void()>& changed);

// The same change with a picture for each screen (the [Main] Monitors choice "each"): sources
// in ScreenOrder, used in turn when there are fewer than screens. With "same" and "span" only
// the first source counts. With more than one monitor the pictures are made at each monitor's
// size into one bitmap of the whole desktop, which the desktop tiles; with one, as
// ChangeWallpaper says. ShownPictures records what each monitor shows.
ChangeOutcome ChangeWallpapers(AppContext& context, const std::vector<std::string>& sources,
                               const WallpaperChangeTexts& texts,
                               const std::function<void()>& changed);

// After the screens were plugged, unplugged or arranged anew: shows the pictures of
// ShownPictures again for the monitors there are now (a monitor keeps its own picture, known by
// its device path), choosing and fetching nothing, and leaving PreviousSetWallpaper, the
// current wallpaper and the history alone. Does nothing before the first change of the run or
// while another change runs.
void RelayOutWallpaper(AppContext& context);

}  // namespace dova
