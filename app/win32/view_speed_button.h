// Flat glyph buttons that never take the keyboard focus, as the list page's tool buttons are:
// the face is plain until the mouse is over the button (raised edge) or presses it (sunken
// edge); a disabled button shows the greyed form of its glyph. A click sends WM_COMMAND (id,
// BN_CLICKED) to the parent, as a push button does. Enable and disable it with EnableWindow.
#pragma once

#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

namespace dova {

// Creates a button showing image `index` of `glyphs` (which must outlive the button), or image
// `disabledIndex` while it is disabled.
HWND CreateSpeedButton(HWND parent, int id, const RECT& place, HIMAGELIST glyphs, int index,
                       int disabledIndex);

// Makes the button show `color` as a framed patch in place of a glyph (the face's grey while
// it is disabled).
void SetSpeedButtonSwatch(HWND button, COLORREF color);

}  // namespace dova
