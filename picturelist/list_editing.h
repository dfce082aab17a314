// The commands that build and arrange the picture list, one per button under FileGrid. They work
// on the grid's rows directly, ask for no confirmation and save nothing (the list is saved at
// exit). The window runs UpdateControls after each, so that the list buttons follow the rows.
//
// The two adding commands let the window handle its messages every eleventh file. While one of
// them runs, the other list commands (and a second addition) are ignored, so that rows being
// filled in cannot be deleted or moved under it.
#pragma once

#include <string>

#include "form/app_context.h"

namespace dova {

// Adds the files chosen in the file dialog (title and filter of OpenPictureDialog1: JPEG, PNG
// and BMP), in the dialog's order, after the last row (or in place of the empty list), each
// with the size its header gives (ReadPictureSize). Cancel adds nothing.
void SpeedButton1Click(AppContext& context);

// Adds every plain picture file (HasPictureSuffix; no directories, hidden or system files) of
// the folder chosen in the folder dialog, in the order the system lists them, and makes that
// folder the current directory. Subfolders are not entered.
void SpeedButton2Click(AppContext& context);

// Deletes the selected rows; deleting every row leaves the empty list.
void SpeedButton3Click(AppContext& context);

// Removes every row whose picture does not have the screen's proportions (SizeFitsScreen),
// rows without a size included.
void SpeedButton4Click(AppContext& context);

// Moves the selected rows one place up (nothing when the selection starts at row 0) and keeps
// them selected, scrolling up when the selection leaves the view.
void SpeedButton5Click(AppContext& context);

// Moves the selected rows one place down (nothing when the selection ends at the last row) and
// keeps them selected.
void SpeedButton6Click(AppContext& context);

// Clears the list: one row of empty texts.
void SpeedButton7Click(AppContext& context);

// True while an adding command is filling in rows.
bool ListAdditionRunning();

// True for a name ending in ".jpg", ".jpeg", ".png" or ".bmp", compared without regard to case:
// the files a folder adds to the list (what a file holds is told by its content when it is used).
bool HasPictureSuffix(const std::string& name);

}  // namespace dova
