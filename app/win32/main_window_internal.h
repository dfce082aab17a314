// What the main window's files share: the record of one control on the screen and the numbers
// of the window's commands and messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "form/form_model.h"
#include "app/win32/main_window.h"

namespace dova {

constexpr int kControlIdBase = 1000;  // control ids: kControlIdBase + design order
constexpr int kMenuIdBase = 2000;     // popup menu commands: kMenuIdBase + item order
constexpr UINT_PTR kTimerId = 1;      // Timer1
constexpr UINT kSelectionMessage = WM_APP + 1;  // the list's selection changed (posted)

// One control of the design and what its window shows now, for Sync's comparisons.
struct MainWindow::ControlView {
  Control* model = nullptr;
  HWND window = nullptr;  // the control; for pages and group boxes their panel
  int id = 0;
  bool fresh = true;  // nothing pushed yet: the first Sync sets every property
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  bool highlighted = false;
  bool showHint = false;
  std::string caption, text, hint;
  std::vector<std::string> items;
  int itemIndex = -1;
  RECT place{};
};

}  // namespace dova
