// Flat glyph buttons that never take the keyboard focus, as the list page's tool buttons are:
// the face is plain until the mouse is over the button (raised edge) or presses it (sunken
// edge); a disabled button shows its glyph greyed. A click sends WM_COMMAND (id, BN_CLICKED)
// to the parent, as a push button does. Enable and disable it with EnableWindow.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace dova {

// Creates a button showing image `index` of `glyphs` (which must outlive the button).
HWND CreateSpeedButton(HWND parent, int id, const RECT& place, HIMAGELIST glyphs, int index);

}  // namespace dova
