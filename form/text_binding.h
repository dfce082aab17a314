// Puts the current language's texts on every translatable caption, hint, group title, menu
// item and dialog title of the window, places the two labels that stand left of a list, and
// chooses the help file F1 opens.
#pragma once

#include "form/app_context.h"

namespace dova {

void UpdateLanguage(AppContext& context);

}  // namespace dova
