// The resize mode on the form: one radio button per mode (RadioButton1 Windows, RadioButton2
// the program, RadioButton3 none) and one word per mode in dova.ini's [Main] Resize ("windows",
// "dova", "none"). A stored word the program does not know leaves no button checked; such a
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

// The stored word's mode (case-sensitive), none for any other word.
std::optional<ResizeMode> ResizeModeFromWord(const std::string& word);
const char* ResizeModeWord(ResizeMode mode);

}  // namespace dova
