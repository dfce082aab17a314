// "Previous picture": the sources of the last few wallpapers, newest first, so that the user can
// go back to the picture a change has just replaced. A list picture is remembered by its path;
// a downloaded picture is kept in the data directory as "previous1.jpg" ... (the downloaded
// file, whatever its format) for as long as it is remembered, since "temp.jpg" is gone after
// the change. Stored in dova.ini as [Main] Recent1 ... Recent5.
#pragma once

#include <string>
#include <vector>

#include "form/app_context.h"

namespace dova {

constexpr int kRecentPictures = 5;

// Puts `source`, the wallpaper's picture now, in front. The oldest falls off beyond
// kRecentPictures, and a kept download that is no longer remembered is deleted.
void RememberPicture(AppContext& context, const std::string& source);

// Moves the downloaded picture `downloaded` to a keeping name in the data directory that no
// remembered picture uses and gives that name; when it cannot be moved it is deleted and ""
// comes back (there is then nothing to remember).
std::string KeepDownloadedPicture(AppContext& context, const std::string& downloaded);

// True when there is a picture before the one shown now.
bool CanShowPreviousPicture(const AppContext& context);

// Puts back the wallpaper shown before the last change: its source converted with the current
// resize mode and filter, through the same change both modes use. The picture shown until now
// is forgotten, so that each call goes one further back. A previous picture whose file is gone
// is reported as any missing picture and forgotten; when the desktop refuses the bitmap the
// history stays as it was. Does nothing while another change runs.
void ShowPreviousPicture(AppContext& context);

}  // namespace dova
