// Canvases of memory and window DCs, and the lock order for using them.
#include "platform/posix/gdi/canvas.h"

namespace win::stand_in {

DrawingLock::DrawingLock(DeviceContext& first, DeviceContext* second) {
  if (second == &first) second = nullptr;
  if (second) {
    firstDC = std::unique_lock<std::mutex>(first.lock, std::defer_lock);
    secondDC = std::unique_lock<std::mutex>(second->lock, std::defer_lock);
    std::lock(firstDC, secondDC);
  } else {
    firstDC = std::unique_lock<std::mutex>(first.lock);
  }
  // A DC's surface is fixed at its creation, so it may be read before its lock.
  WindowSurface* a = first.surface.get();
  WindowSurface* b = second ? second->surface.get() : nullptr;
  if (a == b) b = nullptr;
  if (a && b) {
    firstSurface = std::unique_lock<std::mutex>(a->lock, std::defer_lock);
    secondSurface = std::unique_lock<std::mutex>(b->lock, std::defer_lock);
    std::lock(firstSurface, secondSurface);
  } else if (a || b) {
    firstSurface = std::unique_lock<std::mutex>((a ? a : b)->lock);
  }
}

Canvas CanvasOf(DeviceContext& dc) {
  Canvas canvas;
  Box clip;
  if (dc.surface) {
    WindowSurface& s = *dc.surface;
    // The surface may have been resized or not allocated to its size yet; only
    // the rows it really holds count.
    int64_t held = s.width > 0 ? static_cast<int64_t>(s.pixels.size()) / s.width : 0;
    canvas.pixels = s.pixels.data();
    canvas.width = s.width > 0 ? s.width : 0;
    canvas.height = std::min<int64_t>(std::max(s.height, 0), held);
    canvas.surface = &s;
    clip = Intersection(canvas.Bounds(), BoxOf(dc.windowClip));
  } else if (dc.bitmap) {
    canvas.pixels = dc.bitmap->pixels.data();
    canvas.width = dc.bitmap->width;
    canvas.height = dc.bitmap->height;
    clip = canvas.Bounds();
  }
  if (dc.clipRegion) clip = Intersection(clip, BoxOf(*dc.clipRegion));
  canvas.clip = clip.Empty() ? Box{} : clip;
  return canvas;
}

void Damage(const Canvas& canvas, const Box& box) {
  if (!canvas.surface || box.Empty()) return;
  canvas.surface->AddDamage(static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                            static_cast<int>(box.bottom));
}

}  // namespace win::stand_in
