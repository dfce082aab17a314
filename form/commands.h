// The window's commands, one row each: the glyph buttons that run it, its tray menu item, its
// keys, the rule that enables it, its help topic, the phrase and design text of its hint and
// caption, its glyph and its handler. The buttons' enabled states (UpdateControls), the hints
// and captions (UpdateLanguage), the menu, the help topics, the keyboard (app/keyboard.cpp),
// the clicks (app/commands.cpp) and the glyphs (app/win32) all read this one table, so a new
// command is one row here and its handler.
//
// Columns of DOVA_COMMANDS:
//   id       its name in CommandId
//   buttons  Buttons(design names...): the glyph buttons that run it, at most two
//   menu     Menu(item, separator before it): its item of the tray menu, in menu order; kNoMenu
//   keys     Keys(...): at most two, each OnList(key) (the list page only), OnModePages(key)
//            (the pages of both modes) or Anywhere(key); Ctrl(key) needs Ctrl, Shift and Alt
//            are not looked at
//   enabled  when its buttons, its menu item and its keys work: bool (const AppContext&)
//   topic    the help topic of its buttons, nullptr for their page's
//   phrase   the language key of its buttons' hint and its menu item's caption
//   design   the design text of both
//   glyph    its buttons' picture in resources/resource_ids.h, 0 without buttons
//   handler  what it does: void (AppContext&). Handlers live on every floor, so this column is
//            read only in app/commands.cpp, and the glyph column only in app/win32.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "form/app_context.h"

// clang-format off
#define DOVA_COMMANDS(X)                                                                         \
  X(Open, Buttons(), Menu("N3", nullptr, true), Keys(), Always, nullptr, "open", "Открыть", 0,   \
    N3Click)                                                                                     \
  X(InstallFromList, Buttons(), Menu("N1", "N4"), Keys(), Always, nullptr, "installfromlist",     \
    "Установить картинку из списка", 0, N1Click)                                                 \
  X(InstallFromNet, Buttons(), Menu("N2"), Keys(), Always, nullptr, "installfromnet",             \
    "Установить картинку из Интернета", 0, N2Click)                                              \
  X(PreviousPicture, Buttons("SpeedButton9", "SpeedButton10"), Menu("N7"),                        \
    Keys(OnModePages(Ctrl('Z'))), CanShowPreviousPicture, "modes.htm", "previouspicture",        \
    "Предыдущая картинка", IDB_GLYPH_PREVIOUS, ShowPreviousPicture)                              \
  X(Quit, Buttons(), Menu("N6", "N5"), Keys(Anywhere(keys::kEscape)), Always, nullptr, "quit",    \
    "Выход", 0, N6Click)                                                                         \
  X(ClearList, Buttons("SpeedButton7"), kNoMenu, Keys(OnList(Ctrl('R'))), ListNotEmpty, nullptr,  \
    "clearlist", "Очистить список", IDB_GLYPH_CLEAR_LIST, SpeedButton7Click)                     \
  X(AddFiles, Buttons("SpeedButton1"), kNoMenu, Keys(OnList(keys::kAdd), OnList(Ctrl('O'))),      \
    Always, nullptr, "addfiles", "Добавить один или несколько файлов", IDB_GLYPH_ADD_FILES,      \
    SpeedButton1Click)                                                                           \
  X(AddDirectory, Buttons("SpeedButton2"), kNoMenu, Keys(OnList(Ctrl('D'))), Always, nullptr,     \
    "adddirectory", "Добавить каталог", IDB_GLYPH_ADD_DIRECTORY, SpeedButton2Click)              \
  X(DeleteSelected, Buttons("SpeedButton3"), kNoMenu, Keys(OnList(keys::kDelete)), ListNotEmpty,  \
    nullptr, "deleteimages", "Удалить выбранные картинки", IDB_GLYPH_DELETE, SpeedButton3Click)  \
  X(StripList, Buttons("SpeedButton4"), kNoMenu, Keys(OnList(Ctrl('C'))), ListNotEmpty, nullptr,  \
    "striplist", "Удалить картинки не подходящие по пропорциям", IDB_GLYPH_STRIP,                \
    SpeedButton4Click)                                                                           \
  X(InstallSelected, Buttons("SpeedButton8"), kNoMenu, Keys(OnList(keys::kReturn)), ListNotEmpty, \
    nullptr, "installimage", "Установить картинку на рабочий стол", IDB_GLYPH_INSTALL,           \
    FileGridDblClick)                                                                            \
  X(MoveUp, Buttons("SpeedButton5"), kNoMenu, Keys(OnList(Ctrl('W'))), SelectionCanMoveUp,        \
    nullptr, "moveimagesup", "Подвинуть выбранные картинки вверх", IDB_GLYPH_MOVE_UP,            \
    SpeedButton5Click)                                                                           \
  X(MoveDown, Buttons("SpeedButton6"), kNoMenu, Keys(OnList(Ctrl('S'))), SelectionCanMoveDown,    \
    nullptr, "moveimagesdown", "Подвинуть выбранные картинки вниз", IDB_GLYPH_MOVE_DOWN,         \
    SpeedButton6Click)                                                                           \
  X(SelectAll, Buttons(), kNoMenu, Keys(OnList(Ctrl('A'))), Always, nullptr, nullptr, nullptr, 0, \
    SelectAllRows)                                                                               \
  X(Help, Buttons(), kNoMenu, Keys(Anywhere(keys::kF1)), Always, nullptr, nullptr, nullptr, 0,    \
    ShowHelpTopic)
// clang-format on

namespace dova {

enum class CommandId {
#define DOVA_COMMAND_ID(id, ...) id,
  DOVA_COMMANDS(DOVA_COMMAND_ID)
#undef DOVA_COMMAND_ID
};

// Where a command's key works.
enum class KeyPages { List, ModePages, Anywhere };

struct CommandKey {
  int code = 0;  // 0: no key
  bool ctrl = false;
  KeyPages pages = KeyPages::Anywhere;
  // True when `key` with `shift` on page `page` is this key.
  bool Matches(int key, ShiftState shift, int page) const;
};

struct CommandMenuItem {
  const char* item = nullptr;       // design name; nullptr: not in the menu
  const char* separator = nullptr;  // design name of a separator before it, or nullptr
  bool isDefault = false;           // the menu's default item, drawn bold
};

struct Command {
  CommandId id;
  std::array<const char*, 2> buttons;  // design names, nullptr for none
  CommandMenuItem menu;
  std::array<CommandKey, 2> keys;
  bool (*enabled)(const AppContext& context);
  const char* topic;
  const char* phrase;
  const char* design;
};

// Every command, in the table's order (which is also the menu's order).
const std::vector<Command>& Commands();
// The command a glyph button or a menu item runs, nullptr for another control or item.
const Command* CommandOfButton(const std::string& button);
const Command* CommandOfMenuItem(const std::string& item);

// Enables every command's buttons and menu item by its rule.
void UpdateCommands(AppContext& context);

// The rules of the table.
bool Always(const AppContext& context);
bool ListNotEmpty(const AppContext& context);
bool SelectionCanMoveUp(const AppContext& context);    // not from the first row
bool SelectionCanMoveDown(const AppContext& context);  // not from the last row

// The handlers of the form's own commands: Ctrl+A selects every row of the list; F1 opens the
// help topic of the focused control.
void SelectAllRows(AppContext& context);
void ShowHelpTopic(AppContext& context);

// The columns' helpers.
struct KeyStroke {
  constexpr KeyStroke(int code, bool ctrl = false) : code(code), ctrl(ctrl) {}  // NOLINT
  int code;
  bool ctrl;
};
constexpr KeyStroke Ctrl(int code) { return {code, true}; }
constexpr CommandKey OnList(KeyStroke k) { return {k.code, k.ctrl, KeyPages::List}; }
constexpr CommandKey OnModePages(KeyStroke k) { return {k.code, k.ctrl, KeyPages::ModePages}; }
constexpr CommandKey Anywhere(KeyStroke k) { return {k.code, k.ctrl, KeyPages::Anywhere}; }
constexpr std::array<CommandKey, 2> Keys(CommandKey a = {}, CommandKey b = {}) { return {a, b}; }
constexpr std::array<const char*, 2> Buttons(const char* a = nullptr, const char* b = nullptr) {
  return {a, b};
}
constexpr CommandMenuItem Menu(const char* item, const char* separator = nullptr,
                               bool isDefault = false) {
  return {item, separator, isDefault};
}
constexpr CommandMenuItem kNoMenu{};

}  // namespace dova
