// What the main window's files share: the numbers of the window's commands and messages.
#pragma once

#include <windows.h>

#include "app/win32/main_window.h"

namespace dova {

constexpr int kControlIdBase = 1000;  // control ids: kControlIdBase + design order
constexpr int kMenuIdBase = 2000;     // popup menu commands: kMenuIdBase + item order
constexpr UINT_PTR kTimerId = 1;      // Timer1
// The screens changed: one relayout once the notices have stopped for this long, since Windows
// sends several while a monitor is plugged in or the arrangement is changed.
constexpr UINT_PTR kScreensTimerId = 2;
constexpr UINT kScreensSettleMs = 1500;
constexpr UINT kSelectionMessage = WM_APP + 1;  // the list's selection changed (posted)
constexpr UINT kNetworkMessage = WM_APP + 2;    // the network's addresses changed (posted)

}  // namespace dova
