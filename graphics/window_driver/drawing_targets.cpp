// The lock, the running flag and the pixel writes shared by the driver's
// pixel, span and text operations.
#include "graphics/window_driver/drawing_targets.h"

#include "graphics/window_driver/win32gui.h"

namespace graph {

namespace {

bool anythingDrawn = false;
win::RECT drawnArea = {0, 0, 0, 0};

}  // namespace

void MarkDrawn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  // Only what was meant for the screen, and only when the bitmap, the area's
  // source, holds it too.
  if (!DrawToScreen || !DrawToBitmap) return;
  if (!anythingDrawn) {
    drawnArea = {left, top, right, bottom};
    anythingDrawn = true;
    return;
  }
  if (left < drawnArea.left) drawnArea.left = left;
  if (top < drawnArea.top) drawnArea.top = top;
  if (right > drawnArea.right) drawnArea.right = right;
  if (bottom > drawnArea.bottom) drawnArea.bottom = bottom;
}

bool TakeDrawnArea(win::RECT& area) {
  if (!anythingDrawn) return false;
  area = drawnArea;
  anythingDrawn = false;
  return true;
}

void ForgetDrawnArea() {
  anythingDrawn = false;
}

bool GraphWindowRunning() {
  return __atomic_load_n(&GraphRunning, __ATOMIC_ACQUIRE);
}

bool EnterGraphDrawing() {
  win::EnterCriticalSection(&GraphDrawing);
  if (GraphWindowRunning()) return true;
  win::LeaveCriticalSection(&GraphDrawing);
  return false;
}

void LeaveGraphDrawing() {
  win::LeaveCriticalSection(&GraphDrawing);
}

win::COLORREF PaletteColor(uint16_t index) {
  if (Pal == nullptr || MaxColor <= 0) return 0;
  uint32_t entries = static_cast<uint32_t>(MaxColor);
  const RGBRec& entry = Pal[index < entries ? index : index % entries];
  return RGB(entry.Red & 0xFF, entry.Green & 0xFF, entry.Blue & 0xFF);
}

void SetPixelOnTargets(int32_t x, int32_t y, win::COLORREF color) {
  if (DrawToBitmap) win::SetPixelV(BitmapDC, x, y, color);
  if (DrawToScreen) win::SetPixelV(WinDC, x, y, color);
  MarkDrawn(x, y, x + 1, y + 1);
}

void CombinePixelOnTargets(int32_t x, int32_t y, int16_t writeMode, win::COLORREF color) {
  win::COLORREF old = win::GetPixel(WinDC, x, y);
  win::COLORREF combined = color;
  if (writeMode == 1) combined = old ^ color;
  if (writeMode == 2) combined = old | color;
  if (writeMode == 3) combined = old & color;
  // A point outside the window reads CLR_INVALID; keep the result a plain RGB value.
  SetPixelOnTargets(x, y, combined & 0x00FFFFFFu);
}

}  // namespace graph
