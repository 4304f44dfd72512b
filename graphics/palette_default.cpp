// Setting the whole palette through the single-entry slot.
#include "graphics/graph.h"

namespace graph {

void SetAllPaletteDefault(const PaletteType& palette) {
  // The record holds 256 entries, whatever size it claims.
  if (DirectColor || palette.Size > PaletteSize || palette.Size > 256) {
    _GraphResult = grError;
    return;
  }
  for (int32_t i = 0; i < palette.Size; ++i) {
    const RGBRec& entry = palette.Colors[i];
    // An entry with -1 in it keeps its colour.
    if (entry.Red == -1 || entry.Green == -1 || entry.Blue == -1) continue;
    Hooks.SetRGBPalette(static_cast<int16_t>(i), entry.Red, entry.Green, entry.Blue);
  }
}

}  // namespace graph
