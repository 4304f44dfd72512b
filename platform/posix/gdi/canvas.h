// The pixels a DC draws into, seen the same way for a memory DC (its selected
// bitmap) and a window DC (its window's surface), with the DC's effective clip.
#pragma once

#include <mutex>

#include "platform/posix/gdi/box.h"
#include "platform/posix/gdi/gdi_objects.h"

namespace win::stand_in {

struct Canvas {
  COLORREF* pixels = nullptr;  // row-major, stride width
  int64_t width = 0;
  int64_t height = 0;
  Box clip;                          // where drawing may change pixels, within the bounds
  WindowSurface* surface = nullptr;  // a window DC's surface, told of each change

  Box Bounds() const { return Box{0, 0, width, height}; }
  COLORREF* Row(int64_t y) const { return pixels + y * width; }
};

// Holds the locks of one or two DCs and of their surfaces, in an order that
// cannot deadlock against another call holding the same ones.
struct DrawingLock {
  explicit DrawingLock(DeviceContext& first, DeviceContext* second = nullptr);
  std::unique_lock<std::mutex> firstDC, secondDC, firstSurface, secondSurface;
};

// With the DC's DrawingLock held.
Canvas CanvasOf(DeviceContext& dc);
// Reports a change within box (already clipped) to a window DC's surface.
void Damage(const Canvas& canvas, const Box& box);

// Colours keep only their 24 colour bits.
constexpr COLORREF ColorBits(COLORREF color) {
  return color & 0x00FFFFFFu;
}

}  // namespace win::stand_in
