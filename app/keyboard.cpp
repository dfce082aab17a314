#include "app/keyboard.h"

#include "app/commands.h"

namespace dova {

void HandleFormKey(AppContext& context, int key, ShiftState shift) {
  for (const Command& command : Commands())
    for (const CommandKey& commandKey : command.keys)
      if (commandKey.Matches(key, shift, context.form.activePage) && command.enabled(context))
        return RunCommand(context, command.id);
}

}  // namespace dova
