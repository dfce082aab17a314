// The shell's dialogs for the picture list: the file-open dialog with multiple selection and
// the folder dialog. Both are modal on the GUI thread and owned by the window given by `owner`.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace dova {

class Win32Dialogs : public Dialogs {
 public:
  // `owner` gives the owner window at the moment a dialog opens (null: none).
  explicit Win32Dialogs(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  // GetOpenFileNameW, explorer style, read-only box hidden, several files, files must exist,
  // resizable; it starts in the current directory and may change it. The result buffer holds
  // 1 MB of names and grows (the dialog is shown again) when the shell finds it too small.
  std::vector<std::string> OpenPictureFiles(const std::string& title,
                                            const std::string& filter) override;
  // SHBrowseForFolderW with flags 0x45 opening on the current directory, the selected path in
  // the dialog's status line; "" when cancelled.
  std::string BrowseForFolder(const std::string& title) override;
  // ChooseColorW, full palette open, the user's custom colours kept for the run.
  bool PickColor(unsigned& rgb) override;

 private:
  HWND Owner() const { return owner_ ? owner_() : nullptr; }
  std::function<HWND()> owner_;
};

}  // namespace dova
