// What the wallpaper shows, as its channel put it: kept as CurrentCaption (stored in dova.ini)
// and shown in the tray icon's tip, under the program's name.
#pragma once

#include <string>

#include "form/app_context.h"

namespace dova {

// "Dova Wallpaper Changer", with `caption` on a second line when there is one.
std::string TrayTipFor(const std::string& caption);

// After a picture has been installed: `caption` becomes CurrentCaption and the tray tip. One
// that is not empty is also shown in the status bar and written to the journal after the
// phrase "picturecaption". A picture without a caption (from the list) clears both.
void ShowPictureCaption(AppContext& context, const std::string& caption);

}  // namespace dova
