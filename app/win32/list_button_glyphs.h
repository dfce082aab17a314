// The glyph buttons' glyphs by design name (the list page's and the two "Previous picture"). In the
// window's glyph list, glyph k is image 2k and its greyed form image 2k + 1.
#pragma once

#include "resources/resource_ids.h"

namespace dova {

struct ListButtonGlyph {
  const char* button;
  int bitmap;  // the resource; its greyed form is bitmap + IDB_GLYPH_DISABLED_OFFSET
};

constexpr ListButtonGlyph kListButtonGlyphs[] = {
    {"SpeedButton7", IDB_GLYPH_CLEAR_LIST},    {"SpeedButton1", IDB_GLYPH_ADD_FILES},
    {"SpeedButton2", IDB_GLYPH_ADD_DIRECTORY}, {"SpeedButton3", IDB_GLYPH_DELETE},
    {"SpeedButton4", IDB_GLYPH_STRIP},         {"SpeedButton8", IDB_GLYPH_INSTALL},
    {"SpeedButton5", IDB_GLYPH_MOVE_UP},       {"SpeedButton6", IDB_GLYPH_MOVE_DOWN},
    {"SpeedButton9", IDB_GLYPH_PREVIOUS},      {"SpeedButton10", IDB_GLYPH_PREVIOUS},
};

}  // namespace dova
