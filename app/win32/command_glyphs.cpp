#include "app/win32/command_glyphs.h"

#include <cstddef>

#include "form/commands.h"
#include "resources/resource_ids.h"

namespace dova {

namespace {

// Each command's glyph in the table's order, 0 for a command without buttons.
int GlyphOfCommand(CommandId id) {
  static constexpr int kGlyphs[] = {
#define DOVA_COMMAND_GLYPH(id, buttons, menu, keys, enabled, topic, phrase, design, glyph, \
                           handler)                                                        \
  glyph,
      DOVA_COMMANDS(DOVA_COMMAND_GLYPH)
#undef DOVA_COMMAND_GLYPH
  };
  return kGlyphs[static_cast<std::size_t>(id)];
}

}  // namespace

const std::vector<int>& CommandGlyphs() {
  static const std::vector<int> kGlyphs = [] {
    std::vector<int> glyphs;
    for (const Command& command : Commands())
      if (const int glyph = GlyphOfCommand(command.id)) glyphs.push_back(glyph);
    return glyphs;
  }();
  return kGlyphs;
}

int GlyphOfButton(const std::string& button) {
  const Command* owner = CommandOfButton(button);
  if (!owner) return -1;
  int index = 0;
  for (const Command& command : Commands()) {
    if (&command == owner) return index;
    if (GlyphOfCommand(command.id)) ++index;
  }
  return -1;
}

}  // namespace dova
