// Reading numbers typed or chosen in the window's controls.
#pragma once

#include <string>

namespace dova {

// Reads `text` as a decimal integer: optional leading blanks, an optional sign, then digits and
// nothing else, within the range of int. Throws dova::Error "'<text>' is not a valid integer
// value" otherwise (also for the empty text).
int ReadDecimalInteger(const std::string& text);

}  // namespace dova
