// The pictures of the commands' glyph buttons, from the glyph column of the command table
// (form/commands.h): one per command that has buttons, in the table's order. In the window's
// glyph list, glyph k is image 2k and its greyed form image 2k + 1.
#pragma once

#include <string>
#include <vector>

namespace dova {

// The bitmap resources; the greyed form of each is at its id + IDB_GLYPH_DISABLED_OFFSET.
const std::vector<int>& CommandGlyphs();

// The index in CommandGlyphs of a button's picture; -1 for a button that runs no command.
int GlyphOfButton(const std::string& button);

}  // namespace dova
