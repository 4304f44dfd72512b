// What the window manager's side of the stand-in shares with its GDI side: the
// pixels of a window's client area. A device context of a window (GetDC,
// BeginPaint) draws into its surface; the window's host presents the damaged
// part of the surface to the person or the test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/posix/kernel/short_lock.h"
#include "platform/posix/win_types.h"

namespace win::stand_in {

struct WindowSurface {
  WindowSurface();
  // Guards everything below; taken by GDI per operation, as the lock of every
  // DC drawing into the surface. One of a fixed set that is never freed, so a
  // DC found without the handle table's lock can always take it, even when the
  // surface has gone; surfaces may share one.
  ShortLock& lock;
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // row-major, 0x00BBGGRR, width * height
  bool damaged = false;          // pixels changed since the host last presented
  RECT damage{};                 // bounding box of the change, right/bottom exclusive

  // Resize and TakeDamage take the lock; AddDamage expects it held, as GDI
  // holds it around the change it reports.
  void Resize(int newWidth, int newHeight);  // keeps the overlapping pixels, new ones black
  void AddDamage(int left, int top, int right, int bottom);
  bool TakeDamage(RECT& out);  // the damage so far, cleared
};

// A device context that draws into a window's surface, clipped to the given
// rectangle (the client area for GetDC, the update rectangle for BeginPaint).
// The context keeps the surface alive. ReleaseWindowDC ends it.
HDC CreateWindowDC(std::shared_ptr<WindowSurface> surface, const RECT& clip);
bool ReleaseWindowDC(HDC dc);
// The surface a window DC draws into, or null for any other handle.
std::shared_ptr<WindowSurface> SurfaceOfDC(HDC dc);

inline void WindowSurface::AddDamage(int left, int top, int right, int bottom) {
  if (left >= right || top >= bottom) return;
  if (!damaged) {
    damage = RECT{left, top, right, bottom};
    damaged = true;
    return;
  }
  damage.left = std::min<LONG>(damage.left, left);
  damage.top = std::min<LONG>(damage.top, top);
  damage.right = std::max<LONG>(damage.right, right);
  damage.bottom = std::max<LONG>(damage.bottom, bottom);
}

}  // namespace win::stand_in
