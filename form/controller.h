// The window's rules that follow the options: enabled states (the commands' own from their
// table, form/commands.h), the mode switch and the help topic of the focused control.
#pragma once

#include <string>

#include "form/app_context.h"

namespace dova {

// Recomputes the enabled state of every dependent control from the check boxes, radio buttons
// and the picture list's selection.
void UpdateControls(AppContext& context);

// The mode switch: TabSheet1 is highlighted while RadioButton9 is checked, TabSheet2 otherwise.
void RadioButton9Click(AppContext& context);

// The help topic of a control on a page: the page's topic, or the control's own when the page
// lists it; "default.htm" for a page outside 0..3.
std::string HelpTopic(int pageIndex, const std::string& controlName);

// HelpFile + "::/HTML/" + topic + ">main".
std::string HelpAddress(const AppContext& context, const std::string& topic);

}  // namespace dova
