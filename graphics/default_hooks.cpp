// The hook slots' defaults: what every slot holds while no mode is set.
#include "graphics/graph.h"
#include "runtime/system.h"

namespace graph {

namespace {

[[noreturn]] void NotInGraphicsMode() {
  rtl::WriteShortStr(0, rtl::StdErr, "Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)");
  rtl::IOCheck();
  rtl::WriteLnEnd(rtl::StdErr);
  rtl::IOCheck();
  rtl::Halt(1);
}

}  // namespace

void DirectPutPixelDefault(int16_t, int16_t) {
  NotInGraphicsMode();
}
void PutPixelDefault(int16_t, int16_t, uint16_t) {
  NotInGraphicsMode();
}
uint16_t GetPixelDefault(int16_t, int16_t) {
  NotInGraphicsMode();
}
void SetRGBPaletteDefault(int16_t, int16_t, int16_t, int16_t) {
  NotInGraphicsMode();
}
void GetRGBPaletteDefault(int16_t, int16_t&, int16_t&, int16_t&) {
  NotInGraphicsMode();
}

// This program has one page only.
void SetActivePageDefault(uint16_t) {}
void SetVisualPageDefault(uint16_t) {}

// This program draws no general lines, spans, ellipses or circles, keeps no
// images, reads no scan lines and loads no stroked font: the defaults of those
// slots are never reached and do nothing.
void DefaultPutImage(int16_t, int16_t, const void*, uint16_t) {}
void DefaultGetImage(int16_t, int16_t, int16_t, int16_t, void*) {}
int32_t DefaultImageSize(int16_t, int16_t, int16_t, int16_t) {
  return 0;
}
void GetScanLineDefault(int16_t, int16_t, int16_t, void*) {}
void LineDefault(int16_t, int16_t, int16_t, int16_t) {}
void InternalEllipseDefault(int16_t, int16_t, uint16_t, uint16_t, uint16_t, uint16_t, PatternLineProc) {}
void PatternLineDefault(int16_t, int16_t, int16_t) {}
void DummyPatternLine(int16_t, int16_t, int16_t) {}
void HLineDefault(int16_t, int16_t, int16_t) {}
void VLineDefault(int16_t, int16_t, int16_t) {}
void OutTextXYDefault(int16_t, int16_t, const ShortString&) {}
void CircleDefault(int16_t, int16_t, uint16_t) {}

DrawingOperations Hooks;

const DrawingOperations DefaultOperations = {
    .DirectPutPixel = DirectPutPixelDefault,
    .PutPixel = PutPixelDefault,
    .GetPixel = GetPixelDefault,
    .SetRGBPalette = SetRGBPaletteDefault,
    .GetRGBPalette = GetRGBPaletteDefault,
    .SetAllPalette = SetAllPaletteDefault,
    .SetActivePage = SetActivePageDefault,
    .SetVisualPage = SetVisualPageDefault,
    .ClearViewPort = ClearViewPortDefault,
    .PutImage = DefaultPutImage,
    .GetImage = DefaultGetImage,
    .ImageSize = DefaultImageSize,
    .GetScanLine = GetScanLineDefault,
    .Line = LineDefault,
    .InternalEllipse = InternalEllipseDefault,
    .PatternLine = PatternLineDefault,
    .HLine = HLineDefault,
    .VLine = VLineDefault,
    .OutTextXY = OutTextXYDefault,
    .Circle = CircleDefault,
    .SetBkColor = SetBkColorDefault,
    .GetBkColor = GetBkColorDefault,
};

void DefaultHooks() {
  Hooks = DefaultOperations;
  GraphFreeMemPtr = nullptr;
  GraphGetMemPtr = nullptr;
}

}  // namespace graph
