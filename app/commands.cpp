#include "app/commands.h"

#include <cstddef>

#include "app/start_with_windows.h"
#include "form/picture_history.h"
#include "online/daily_update.h"
#include "picturelist/list_editing.h"
#include "picturelist/picture_list.h"

namespace dova {

void N3Click(AppContext& context) {
  context.platform.window.OpenMainWindow();
  ShowStartWithWindows(context);
}

void N2Click(AppContext& context) { DailyPictureUpdate(context, true); }

void N6Click(AppContext& context) { context.platform.pump.Terminate(); }

void RunCommand(AppContext& context, CommandId id) {
  using Handler = void (*)(AppContext&);
  static constexpr Handler kHandlers[] = {
#define DOVA_COMMAND_HANDLER(id, buttons, menu, keys, enabled, topic, phrase, design, glyph, \
                             handler)                                                        \
  handler,
      DOVA_COMMANDS(DOVA_COMMAND_HANDLER)
#undef DOVA_COMMAND_HANDLER
  };
  kHandlers[static_cast<std::size_t>(id)](context);
}

}  // namespace dova
