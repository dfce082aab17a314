#include "form/commands.h"

#include "form/controller.h"
#include "form/picture_history.h"

namespace dova {

bool CommandKey::Matches(int key, ShiftState shift, int page) const {
  if (code == 0 || key != code || (ctrl && !shift.ctrl)) return false;
  switch (pages) {
    case KeyPages::List:
      return page == 1;
    case KeyPages::ModePages:
      return page == 0 || page == 1;
    case KeyPages::Anywhere:
      return true;
  }
  return false;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> kCommands = {
#define DOVA_COMMAND_ROW(id, buttons, menu, keys, enabled, topic, phrase, design, glyph, handler) \
  Command{CommandId::id, buttons, menu, keys, enabled, topic, phrase, design},
      DOVA_COMMANDS(DOVA_COMMAND_ROW)
#undef DOVA_COMMAND_ROW
  };
  return kCommands;
}

const Command* CommandOfButton(const std::string& button) {
  for (const Command& command : Commands())
    for (const char* name : command.buttons)
      if (name && button == name) return &command;
  return nullptr;
}

const Command* CommandOfMenuItem(const std::string& item) {
  for (const Command& command : Commands())
    if (command.menu.item && item == command.menu.item) return &command;
  return nullptr;
}

void UpdateCommands(AppContext& context) {
  FormModel& f = context.form;
  for (const Command& command : Commands()) {
    const bool enabled = command.enabled(context);
    for (const char* name : command.buttons)
      if (name) f.Find(name)->enabled = enabled;
    if (command.menu.item) f.MenuItemNamed(command.menu.item)->enabled = enabled;
  }
}

bool Always(const AppContext&) { return true; }

bool ListNotEmpty(const AppContext& context) { return !context.form.FileGrid.ListEmpty(); }

bool SelectionCanMoveUp(const AppContext& context) {
  return ListNotEmpty(context) && context.form.FileGrid.selTop != 0;
}

bool SelectionCanMoveDown(const AppContext& context) {
  const FileGridControl& grid = context.form.FileGrid;
  return ListNotEmpty(context) && grid.selBottom != grid.RowCount() - 1;
}

void SelectAllRows(AppContext& context) {
  FileGridControl& grid = context.form.FileGrid;
  grid.SelectRows(0, grid.RowCount() - 1);
}

void ShowHelpTopic(AppContext& context) {
  // Without a focused control the page's own topic fits best.
  const FormModel& f = context.form;
  context.platform.help.DisplayTopic(
      HelpAddress(context, HelpTopic(f.activePage, f.activeControl)));
}

}  // namespace dova
