// The shell's dialogs: those the picture list uses and the colour dialog of the Options page.
#pragma once

#include <string>
#include <vector>

namespace dova {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The file-open dialog for pictures with multiple selection. Returns the chosen full paths in
  // the dialog's order, or nothing when the user cancels. It starts in the process's current
  // directory and may change it to the folder the user browsed to.
  virtual std::vector<std::string> OpenPictureFiles(const std::string& title,
                                                    const std::string& filter) = 0;
  // The shell's folder dialog (flags 0x45), owned by the application window and opening on the
  // current directory; the chosen directory's path, or "" when the user cancels.
  virtual std::string BrowseForFolder(const std::string& title) = 0;
  // The system's colour dialog, opening on `rgb` (0xRRGGBB) with the full palette shown. True
  // with the chosen colour in `rgb`; false, `rgb` unchanged, when the user cancels.
  virtual bool PickColor(unsigned& rgb) = 0;
};

}  // namespace dova
