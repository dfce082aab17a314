// The wallpaper change that both working modes run once they have a picture file: convert it
// into the working bitmap that is not in use, point the desktop at that bitmap, record the time
// and delete the previous bitmap, with the status texts of the mode that runs it.
#pragma once

#include <functional>
#include <string>

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

// Converts `source` into the working bitmap that is not in use, runs `converted` (the mode's
// own step once the bitmap exists), points the desktop at the bitmap (StrechWallpaper "1" for
// ResizeMode::None), sets PreviousSetWallpaper to now, deletes the previous bitmap and clears
// the status. When `source` is missing: status and Notice line phrase "notfound1" + " " +
// source + " " + phrase "notfound2", and false, with the current wallpaper and its file kept.
// Decoding and desktop errors propagate, and so does ConversionCancelled when the window is
// closed during the conversion: nothing has changed then.
bool ChangeWallpaper(AppContext& context, const std::string& source,
                     const WallpaperChangeTexts& texts, const std::function<void()>& converted);

}  // namespace dova
