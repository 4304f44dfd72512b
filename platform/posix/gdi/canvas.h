// The pixels a DC draws into, seen the same way for a memory DC (its selected
// bitmap) and a window DC (its window's surface), with the DC's effective clip.
#pragma once

#include <mutex>

#include "platform/posix/gdi/box.h"
#include "platform/posix/gdi/gdi_objects.h"
#include "platform/posix/gdi/handle_table.h"
#include "platform/posix/kernel/short_lock.h"

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

// Holds the locks of one or two DCs (found under the table's lock), in an
// order that cannot deadlock against another call holding the same ones.
struct DrawingLock {
  explicit DrawingLock(DeviceContext& first, DeviceContext* second = nullptr);
  std::unique_lock<ShortLock> firstLock, secondLock;
};

// A live DC found and locked without the table's lock, for the single-pixel
// calls; null, with ERROR_INVALID_HANDLE, for any other handle.
class LockedDC {
 public:
  explicit LockedDC(HDC handle) : dc_(DCInSlot(handle)) {
    if (dc_) {
      lock_ = &dc_->Lock();
      lock_->lock();
      if (dc_->handle.load(std::memory_order_acquire) == handle && &dc_->Lock() == lock_) return;
      lock_->unlock();
    }
    FindAgain(handle);
  }
  ~LockedDC() {
    if (lock_) lock_->unlock();
  }
  LockedDC(const LockedDC&) = delete;
  LockedDC& operator=(const LockedDC&) = delete;
  DeviceContext* get() const { return dc_; }

 private:
  void FindAgain(HDC handle);
  DeviceContext* dc_ = nullptr;
  ShortLock* lock_ = nullptr;
};

// With the DC's lock held.
Canvas CanvasOf(DeviceContext& dc);
// The pixel at x, y of the DC's bitmap or surface when it lies within the DC's
// clip, else null: CanvasOf for one pixel. With the DC's lock held.
inline COLORREF* ClippedPixel(DeviceContext& dc, int x, int y) {
  if (dc.clipRegion && !BoxOf(*dc.clipRegion).Contains(x, y)) return nullptr;
  if (WindowSurface* s = dc.surface.get()) {
    if (!BoxOf(dc.windowClip).Contains(x, y) || x < 0 || y < 0 || x >= s->width) return nullptr;
    // Only the rows the surface really holds count, as in CanvasOf.
    size_t row = static_cast<size_t>(y) * static_cast<size_t>(s->width);
    if (y >= s->height || row + static_cast<size_t>(s->width) > s->pixels.size()) return nullptr;
    return s->pixels.data() + row + static_cast<size_t>(x);
  }
  const Bitmap* bitmap = dc.bitmap;
  if (!bitmap || x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height) return nullptr;
  return dc.bitmap->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(bitmap->width) +
         static_cast<size_t>(x);
}
// Reports a change within box (already clipped) to a window DC's surface.
void Damage(const Canvas& canvas, const Box& box);

// Colours keep only their 24 colour bits.
constexpr COLORREF ColorBits(COLORREF color) {
  return color & 0x00FFFFFFu;
}

}  // namespace win::stand_in
