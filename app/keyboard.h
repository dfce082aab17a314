// The keyboard commands of the window: the list keys on the list page, F1 help on every page,
// Escape to quit. The form sees each key before the focused control, which still gets it.
#pragma once

#include "form/app_context.h"

namespace dova {

void HandleFormKey(AppContext& context, int key, ShiftState shift);

}  // namespace dova
