// What every drawing operation of the driver shares: the window's running flag,
// the drawing lock, the palette colour of an index, and a pixel set on both
// drawing targets.
#pragma once

#include <cstdint>

#include "platform/win.h"

namespace graph {

// The window may be drawn on. Read without the lock, as the window thread
// writes it at paint and destruction.
bool GraphWindowRunning();

// Takes GraphDrawing and tells whether the window is still there. A window
// destroyed between the caller's first test and the lock has released its
// device contexts; the caller then draws nothing. The lock is held only when
// the result is true.
bool EnterGraphDrawing();
void LeaveGraphDrawing();

// The COLORREF of a palette index. An index at or beyond MaxColor (the
// complement index of the "not" write mode) wraps into the palette, so
// 65535 - i is entry MaxColor - 1 - i: the palette's own complement of i.
win::COLORREF PaletteColor(uint16_t index);

// The window thread shows the bitmap's drawn area at a steady interval: a
// window's device context used by another thread need not reach the screen
// until the window's own thread next runs. Each drawing on both targets
// widens the area (right and bottom exclusive); taking it empties it. Under
// the lock.
void MarkDrawn(int32_t left, int32_t top, int32_t right, int32_t bottom);
bool TakeDrawnArea(win::RECT& area);
void ForgetDrawnArea();

// SetPixelV on the bitmap, then on the window, as their flags say. Under the lock.
void SetPixelOnTargets(int32_t x, int32_t y, win::COLORREF color);

// The read-combine-write of the exclusive or, or and and write modes (1, 2, 3)
// at an absolute point, the old pixel read from the window. Under the lock.
void CombinePixelOnTargets(int32_t x, int32_t y, int16_t writeMode, win::COLORREF color);

// a + b in 16-bit wrapping arithmetic.
inline int16_t Add16(int16_t a, int16_t b) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(b)));
}

}  // namespace graph
