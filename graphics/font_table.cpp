// The font slots: names registered at start-up, no stroked font ever loaded.
#include <algorithm>

#include "graphics/graph.h"

namespace graph {

FontSlot Fonts[MaxFonts + 1];
const uint8_t* GraphStringTransTable;
bool DrawTextBackground;

int16_t InstallUserFont(const ShortString& name) {
  _GraphResult = grOk;
  if (InstalledFonts >= MaxFonts) {
    _GraphResult = grError;
    return 0;
  }
  ++InstalledFonts;
  FontSlot& font = Fonts[InstalledFonts];
  font.Name.length = std::min<uint8_t>(name.length, sizeof font.Name.chars);
  std::copy_n(name.chars, font.Name.length, font.Name.chars);
  font.InstrLength = 0;
  font.Instr = nullptr;
  return static_cast<int16_t>(InstalledFonts);
}

}  // namespace graph
