// Runs the window's commands (form/commands.h): the handler column of the table, read here
// because the handlers live on every floor below.
#pragma once

#include "form/commands.h"

namespace dova {

// Runs the command's handler, whatever its rule says: the buttons and the menu are greyed by
// the rule, the keys look at it themselves.
void RunCommand(AppContext& context, CommandId id);

// The tray menu's own handlers. N3Click opens the window and shows the start-up entry as the
// system has it now; N2Click fetches the picture of the day even when it is not new; N6Click
// ends the program.
void N3Click(AppContext& context);
void N2Click(AppContext& context);
void N6Click(AppContext& context);

}  // namespace dova
