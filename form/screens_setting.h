// The screens choice on the form: the drop-down ComboBox11 ("Screens:", Label17) with one entry
// per mode, in the order of ScreensMode, stored in dova.ini as [Main] Monitors with the words
// "same", "each" and "span". A missing or unknown word is "same", the behaviour of a single
// screen.
#pragma once

#include <string>

#include "form/form_model.h"
#include "wallpaper/screens_mode.h"

namespace dova {

// The chosen mode; "same" when nothing is chosen.
ScreensMode ScreensModeOf(const FormModel& form);
void ShowScreensMode(FormModel& form, ScreensMode mode);

// The stored word's mode (case-sensitive), Same for any other word.
ScreensMode ScreensModeFromWord(const std::string& word);
const char* ScreensModeWord(ScreensMode mode);

// The entries' phrase keys, in the order of the list.
constexpr const char* kScreensPhrases[] = {"monitors_same", "monitors_each", "monitors_span"};

}  // namespace dova
