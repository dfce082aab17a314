// The resize mode on the form: one radio button per mode (RadioButton1 Windows, RadioButton2
// the program, RadioButton3 none, RadioButton11 fill, RadioButton12 fit) and one word per mode
// in dova.ini's [Main] Resize ("windows", "dova", "none"). Fill and Fit are the program's
// resizing, so they store "dova" there, which earlier versions read as their stretch, and say
// which in [Main] Proportions ("stretch", "fill", "fit"; a missing or unknown word is the
// stretch). A stored Resize word the program does not know leaves no button checked; such a
// form behaves as "Windows" for a change and writes no word back, so the user's text stays.
#pragma once

#include <optional>
#include <string>

#include "form/form_model.h"
#include "wallpaper/resize_mode.h"

namespace dova {

// The mode whose button is checked, or none.
std::optional<ResizeMode> CheckedResizeMode(const FormModel& form);

// The mode a change uses: the checked one, "Windows" when no button is checked.
ResizeMode ResizeModeForChange(const FormModel& form);

// Checks the mode's button, or clears all three for none.
void ShowResizeMode(FormModel& form, std::optional<ResizeMode> mode);

// The stored words' mode (case-sensitive), none for any other Resize word.
std::optional<ResizeMode> ResizeModeFromWords(const std::string& resize,
                                              const std::string& proportions);
const char* ResizeModeWord(ResizeMode mode);
// The [Main] Proportions word of a mode of the program's resizing, nullptr for the others.
const char* ProportionsWord(ResizeMode mode);

// The fit colour as dova.ini stores it: "#RRGGBB".
std::string ColorText(unsigned rgb);
// "#RRGGBB" (hex digits in either case) as 0xRRGGBB; false for anything else.
bool ParseColorText(const std::string& text, unsigned& rgb);

}  // namespace dova
