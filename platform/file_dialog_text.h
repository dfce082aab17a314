// The texts the Windows file-open dialog takes and gives back, as plain byte strings.
#pragma once

#include <string>
#include <vector>

namespace dova {

// "All (*.jpg)|*.jpg|..." turned into the dialog's form: every "|" becomes a zero byte and the
// whole ends with two zero bytes.
std::string FilterForDialog(const std::string& filter);

// The chosen files out of a multiple-selection result buffer (zero-separated, ending with an
// empty string): either one full path, or a directory followed by the names chosen in it.
// The directory gets a backslash between it and each name unless it ends with one already
// (a drive's root). An empty buffer gives nothing.
std::vector<std::string> SplitDialogSelection(const char* buffer, std::size_t size);

}  // namespace dova
