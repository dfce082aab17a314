// The keyboard commands of the window, from the keys column of the command table
// (form/commands.h): the list keys on the list page, Ctrl+Z on both modes' pages, F1 help and
// Escape on every page. A key whose command is disabled does nothing. The form sees each key
// before the focused control, which still gets it.
#pragma once

#include "form/app_context.h"

namespace dova {

void HandleFormKey(AppContext& context, int key, ShiftState shift);

}  // namespace dova
