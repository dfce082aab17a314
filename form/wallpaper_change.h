// The pieces of a wallpaper change that both working modes share: the options read from the
// controls at the moment of the change, the report of a missing source, and the application of
// the new bitmap with the time of the change recorded.
#pragma once

#include <string>

#include "form/app_context.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {

// Resize by the program (RadioButton2), the screen size now, the filter chosen in ComboBox5.
ConvertOptions CurrentConvertOptions(AppContext& context);

// Converts `source` into `target`. When the source file is missing: status and Notice line
// phrase "notfound1" + " " + source + " " + phrase "notfound2", and false; the caller then stops
// the change so that the current wallpaper and its file stay. Decoding errors propagate.
bool ConvertForChange(AppContext& context, const std::string& source, const std::string& target);

// Points the desktop at `target` (do not resize = RadioButton3) and sets PreviousSetWallpaper to
// the current local time.
void ApplyForChange(AppContext& context, const std::string& target);

}  // namespace dova
