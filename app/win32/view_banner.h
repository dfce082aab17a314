// The banner picture below the pages: a bitmap shown at its own size with the hand cursor; a
// click sends WM_COMMAND (id, BN_CLICKED) to the parent.
#pragma once

#include <windows.h>

namespace dova {

// `picture` must outlive the banner; null shows the plain face.
HWND CreateBanner(HWND parent, int id, const RECT& place, HBITMAP picture);

}  // namespace dova
