// The palette: setting and reading entries, and the entry nearest to a colour.
#include <cstdlib>

#include "graphics/window_driver/drawing_targets.h"
#include "graphics/window_driver/win32gui.h"

namespace graph {

namespace {

// A palette index that may not be used: direct colour, no palette (after
// CloseGraph released it), or outside 0 to MaxColor - 1.
bool RejectEntry(int16_t colorNum) {
  if (DirectColor || Pal == nullptr || colorNum < 0 || colorNum >= MaxColor) {
    _GraphResult = grError;
    return true;
  }
  return false;
}

// The cached pen of a changed entry is dropped so that the next long span makes
// one of the new colour. Once the window is gone its destruction has deleted the
// pens already, so the stale handle is only forgotten.
void DropCachedPen(int16_t colorNum) {
  if (colorNum > 15) return;
  if (GraphWindowRunning() && EnterGraphDrawing()) {
    if (Pens[colorNum] != nullptr) win::DeleteObject(Pens[colorNum]);
    Pens[colorNum] = nullptr;
    LeaveGraphDrawing();
    return;
  }
  Pens[colorNum] = nullptr;
}

}  // namespace

void SetRGBPaletteWin32GUI(int16_t colorNum, int16_t red, int16_t green, int16_t blue) {
  if (RejectEntry(colorNum)) return;
  Pal[colorNum] = RGBRec{red, green, blue};
  DropCachedPen(colorNum);
}

void GetRGBPaletteWin32GUI(int16_t colorNum, int16_t& red, int16_t& green, int16_t& blue) {
  if (RejectEntry(colorNum)) return;
  red = Pal[colorNum].Red;
  green = Pal[colorNum].Green;
  blue = Pal[colorNum].Blue;
}

uint16_t GetPaletteEntry(uint16_t red, uint16_t green, uint16_t blue) {
  if (Pal == nullptr) return 0;
  int32_t entries = MaxColor < 256 ? MaxColor : 256;
  int32_t best = 2147483647;
  uint16_t result = 0;
  for (int32_t i = 0; i < entries; ++i) {
    int32_t d = std::abs(int32_t{red} - Pal[i].Red) + std::abs(int32_t{green} - Pal[i].Green) +
                std::abs(int32_t{blue} - Pal[i].Blue);
    if (d < best) {
      result = static_cast<uint16_t>(i);
      best = d;
      if (d == 0) break;
    }
  }
  return result;
}

}  // namespace graph
