// The picture of the day: asks the current channel's page for the address of today's picture,
// stops when it is the picture taken last time (unless forced), checks its size with a HEAD
// request, downloads it into DataDir + "temp.jpg" and installs it as the wallpaper. Every step
// is shown in the status bar, written to the journal and signalled by the tray icon's image
// (1 transferring, 2 converting or failed, 3 at rest).
#pragma once

#include "form/app_context.h"
#include "form/wallpaper_change.h"

namespace dova {

// How a run ended.
enum class DailyUpdateOutcome {
  Installed,      // a new picture is the wallpaper, its caption shown
  Unchanged,      // the page gives the picture taken last time ("dontneedupdate")
  NoPicture,      // the page says there is no picture today: a Notice, the tray at rest
  ConnectFailed,  // the page's server could not be reached (no network, no name, refused)
  Failed,         // anything else that was reported as a failure
  Busy            // another wallpaper change was running: nothing was done
};

// Runs one update on the GUI thread, pumping the message queue during the transfers. A trigger
// that arrives while another wallpaper change runs is ignored. Transfer failures are reported
// and end the run; an error while decoding the picture or applying the wallpaper is not caught
// here (the status keeps its text, the tray keeps image 2) and reaches the caller's error box.
// The page is read by the channel's rules (online/channel_rule.h); the picture is the first of
// the addresses it gives whose size passes the maximum.
DailyUpdateOutcome DailyPictureUpdate(AppContext& context, bool force);

// The update's last step: converts DataDir + "temp.jpg" into the working bitmap that is not in
// use, applies the bitmap, keeps temp.jpg for "Previous picture" and deletes the previous
// bitmap, with the status texts "convertingimage" (logged), "updatedesktop" and finally the
// empty text. When temp.jpg has vanished, or the desktop refuses the bitmap, that is reported
// and nothing else changes: the current wallpaper and its file stay. Decoding errors and
// registry write errors propagate.
ChangeOutcome InstallDownloadedPicture(AppContext& context);

// A double click on the channel grid: the click's steps, then the daily update with force.
void StringGrid1DblClick(AppContext& context, int row);

}  // namespace dova
