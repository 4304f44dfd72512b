// Canvases of memory and window DCs, and the lock order for using them.
#include "platform/posix/gdi/canvas.h"

#include <functional>

namespace win::stand_in {

DrawingLock::DrawingLock(DeviceContext& first, DeviceContext* second) {
  ShortLock* a = &first.Lock();
  ShortLock* b = second ? &second->Lock() : nullptr;
  if (b == a) b = nullptr;
  if (b && std::less<ShortLock*>()(b, a)) std::swap(a, b);
  firstLock = std::unique_lock<ShortLock>(*a);
  if (b) secondLock = std::unique_lock<ShortLock>(*b);
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
