// Single pixels: set in a colour, read back as a palette index, and set in the
// current colour with the current write mode.
#include "graphics/window_driver/drawing_targets.h"
#include "graphics/window_driver/win32gui.h"

namespace graph {

namespace {

// Translates a viewport point to absolute coordinates; false when clipping is
// on and the point lies outside the viewport (both bounds inclusive).
bool ToAbsolute(int16_t& x, int16_t& y) {
  x = Add16(x, StartXViewPort);
  y = Add16(y, StartYViewPort);
  if (!ClipPixels) return true;
  int32_t left = StartXViewPort, top = StartYViewPort;
  return x >= left && x <= left + ViewWidth && y >= top && y <= top + ViewHeight;
}

}  // namespace

void PutPixel16Win32GUI(int16_t x, int16_t y, uint16_t color) {
  if (!ToAbsolute(x, y)) return;
  if (!GraphWindowRunning()) return;
  win::COLORREF c = PaletteColor(color);
  if (!EnterGraphDrawing()) return;
  SetPixelOnTargets(x, y, c);
  LeaveGraphDrawing();
}

// A clipped point, or a window that is gone, reads as index 0.
uint16_t GetPixel16Win32GUI(int16_t x, int16_t y) {
  if (!ToAbsolute(x, y)) return 0;
  if (!GraphWindowRunning() || !EnterGraphDrawing()) {
    _GraphResult = grError;
    return 0;
  }
  win::COLORREF c = win::GetPixel(BitmapDC, x, y);
  LeaveGraphDrawing();
  return GetPaletteEntry(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void DirectPutPixel16Win32GUI(int16_t x, int16_t y) {
  if (!GraphWindowRunning()) return;
  if (!EnterGraphDrawing()) return;
  uint16_t i = CurrentColor;
  int16_t mode = CurrentWriteMode;
  if (mode >= 1 && mode <= 3) {
    CombinePixelOnTargets(x, y, mode, PaletteColor(i));
  } else if (mode == 4) {
    SetPixelOnTargets(x, y, PaletteColor(static_cast<uint16_t>(65535u - i)));
  } else {
    SetPixelOnTargets(x, y, PaletteColor(i));
  }
  LeaveGraphDrawing();
}

}  // namespace graph
