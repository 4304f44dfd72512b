// A window's client pixels: resizing keeps what overlaps, damage is a bounding box.
#include "platform/posix/gdi/window_surface.h"

#include <algorithm>

namespace win::stand_in {
namespace {

constexpr size_t LockCount = 64;

ShortLock& NextSurfaceLock() {
  static ShortLock locks[LockCount];
  static std::atomic<size_t> next{0};
  return locks[next.fetch_add(1, std::memory_order_relaxed) % LockCount];
}

}  // namespace

WindowSurface::WindowSurface() : lock(NextSurfaceLock()) {}

void WindowSurface::Resize(int newWidth, int newHeight) {
  newWidth = std::max(newWidth, 0);
  newHeight = std::max(newHeight, 0);
  std::lock_guard<ShortLock> guard(lock);
  if (newWidth == width && newHeight == height) return;
  std::vector<COLORREF> resized(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight), 0);
  int keptWidth = std::min(width, newWidth), keptHeight = std::min(height, newHeight);
  for (int y = 0; y < keptHeight; ++y) {
    std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, keptWidth,
                resized.begin() + static_cast<std::ptrdiff_t>(y) * newWidth);
  }
  pixels = std::move(resized);
  width = newWidth;
  height = newHeight;
  damage.right = std::min<LONG>(damage.right, width);
  damage.bottom = std::min<LONG>(damage.bottom, height);
  if (damage.left >= damage.right || damage.top >= damage.bottom) {
    damaged = false;
    damage = RECT{0, 0, 0, 0};
  }
}

bool WindowSurface::TakeDamage(RECT& out) {
  std::lock_guard<ShortLock> guard(lock);
  if (!damaged) return false;
  out = damage;
  damaged = false;
  damage = RECT{0, 0, 0, 0};
  return true;
}

}  // namespace win::stand_in
