// Horizontal and vertical spans in the current colour and write mode, and the
// pens that draw the long ones.
#include "graphics/window_driver/drawing_targets.h"
#include "graphics/window_driver/win32gui.h"

namespace graph {

namespace {

// The pen of index i: cached in Pens for the 16 lowest indices, else made for
// this one span. Under the lock.
win::HPEN AcquirePen(uint16_t i) {
  if (i > 15) return win::CreatePen(PS_SOLID, 1, PaletteColor(i));
  if (Pens[i] == nullptr) Pens[i] = win::CreatePen(PS_SOLID, 1, PaletteColor(i));
  return Pens[i];
}

void ReleasePen(uint16_t i, win::HPEN pen) {
  if (i > 15) win::DeleteObject(pen);
}

void LineOn(win::HDC dc, win::HPEN pen, int32_t x, int32_t y, int32_t toX, int32_t toY) {
  win::HGDIOBJ previous = win::SelectObject(dc, pen);
  win::MoveToEx(dc, x, y, nullptr);
  win::LineTo(dc, toX, toY);
  win::SelectObject(dc, previous);
}

// A span of colour i from position `from` to `to` inclusive along a row
// (horizontal) or a column, starting at (x, y). Spans of up to three pixels are
// set pixel by pixel; longer ones are one line per target, drawn to one beyond
// the last pixel, as LineTo leaves its end point out. Under the lock.
void SpanOnTargets(uint16_t i, bool horizontal, int32_t x, int32_t y, int32_t from, int32_t to) {
  win::COLORREF color = PaletteColor(i);
  if (to - from <= 2) {
    for (int32_t p = from; p <= to; ++p) SetPixelOnTargets(horizontal ? p : x, horizontal ? y : p, color);
    return;
  }
  int32_t endX = horizontal ? to + 1 : x;
  int32_t endY = horizontal ? y : to + 1;
  win::HPEN pen = AcquirePen(i);
  if (DrawToBitmap) LineOn(BitmapDC, pen, x, y, endX, endY);
  if (DrawToScreen) LineOn(WinDC, pen, x, y, endX, endY);
  ReleasePen(i, pen);
  MarkDrawn(x, y, horizontal ? endX : x + 1, horizontal ? y + 1 : endY);
}

}  // namespace

void HLine16Win32GUI(int16_t x, int16_t x2, int16_t y) {
  if (!GraphWindowRunning()) return;
  if (x > x2) {
    int16_t t = x;
    x = x2;
    x2 = t;
  }
  if (ClipPixels) {
    if (x > ViewWidth || y < 0 || y > ViewHeight || x2 < 0) return;
    if (x < 0) x = 0;
    if (x2 > ViewWidth) x2 = ViewWidth;
  }
  x = Add16(x, StartXViewPort);
  x2 = Add16(x2, StartXViewPort);
  y = Add16(y, StartYViewPort);
  int16_t mode = CurrentWriteMode;
  if (mode >= 1 && mode <= 3) {
    if (!EnterGraphDrawing()) return;
    win::COLORREF color = PaletteColor(CurrentColor);
    for (int32_t column = x; column <= x2; ++column) CombinePixelOnTargets(column, y, mode, color);
    LeaveGraphDrawing();
    return;
  }
  uint16_t i = mode == 4 ? static_cast<uint16_t>(65535u - CurrentColor) : CurrentColor;
  if (!EnterGraphDrawing()) return;
  SpanOnTargets(i, true, x, y, x, x2);
  LeaveGraphDrawing();
}

void VLine16Win32GUI(int16_t x, int16_t y, int16_t y2) {
  if (!GraphWindowRunning()) return;
  if (y >= y2) {
    int16_t t = y;
    y = y2;
    y2 = t;
  }
  if (ClipPixels) {
    if (x > ViewWidth || x < 0 || y > ViewHeight || y2 < 0) return;
    if (y < 0) y = 0;
    if (y2 > ViewHeight) y2 = ViewHeight;
  }
  x = Add16(x, StartXViewPort);
  y = Add16(y, StartYViewPort);
  y2 = Add16(y2, StartYViewPort);
  if (CurrentWriteMode == 0) {
    if (!EnterGraphDrawing()) return;
    SpanOnTargets(CurrentColor, false, x, y, y, y2);
    LeaveGraphDrawing();
    return;
  }
  // Not under the lock: the hook takes it for each pixel itself.
  for (int32_t row = y; row <= y2; ++row) Hooks.DirectPutPixel(x, static_cast<int16_t>(row));
}

}  // namespace graph
