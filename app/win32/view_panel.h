// Container windows for the window's pages and group boxes. A panel paints the dialog face
// colour, lets the keyboard's tab order run through its children (WS_EX_CONTROLPARENT) and hands
// every notification of its children (commands, notices, owner drawing, colours) to the
// top-level window, so one window procedure sees the events of all controls.
#pragma once

#include <windows.h>

#include <string>

namespace dova {

// Creates a panel at `place` in `parent`'s client area. A group panel draws a group frame with
// a caption over its whole area; its children are placed in the frame's coordinates.
HWND CreatePanel(HWND parent, const RECT& place, bool groupFrame);

// The caption of a group panel's frame.
void SetPanelCaption(HWND panel, const std::wstring& caption);

}  // namespace dova
