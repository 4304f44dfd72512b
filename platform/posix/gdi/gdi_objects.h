// The objects behind GDI handles. Each lives in the handle table (handle_table.h)
// and is reached only through a checked handle.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/posix/gdi/window_surface.h"
#include "platform/posix/win_types.h"

namespace win::stand_in {

enum class GdiType : uint8_t { Bitmap, Pen, Brush, Region, DeviceContext };

struct GdiObject {
  explicit GdiObject(GdiType t) : type(t) {}
  virtual ~GdiObject() = default;
  GdiType type;
  bool stock = false;  // never deleted; DeleteObject reports success
};

struct Bitmap : GdiObject {
  Bitmap() : GdiObject(GdiType::Bitmap) {}
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // row-major, 0x00BBGGRR
  // The one DC it is selected into; a bitmap may be in one DC at a time.
  std::atomic<HDC> selectedInto{nullptr};
  // A memory DC's own 1x1 bitmap: selectable only into that DC, freed with it.
  HDC homeDC = nullptr;
};

struct Pen : GdiObject {
  Pen() : GdiObject(GdiType::Pen) {}
  bool visible = true;  // false for PS_NULL
  COLORREF color = 0;
  std::atomic<int> selections{0};  // DCs holding it; it cannot be deleted before
};

struct Brush : GdiObject {
  Brush() : GdiObject(GdiType::Brush) {}
  bool hollow = false;  // NULL_BRUSH paints nothing
  COLORREF color = 0;
  std::atomic<int> selections{0};
};

// Only rectangular regions exist; an empty one is all zero.
struct Region : GdiObject {
  Region() : GdiObject(GdiType::Region) {}
  RECT box{};
};

// What a DC holds, set back to this when the DC ends.
struct DeviceContextState {
  // Memory DC: the selected bitmap. Window DC: none; it draws into surface.
  HBITMAP bitmapHandle = nullptr;
  Bitmap* bitmap = nullptr;
  HBITMAP defaultBitmap = nullptr;
  std::shared_ptr<WindowSurface> surface;
  RECT windowClip{};  // the window DC's area in client coordinates
  HPEN penHandle = nullptr;
  bool penVisible = true;
  COLORREF penColor = 0;
  HBRUSH brushHandle = nullptr;
  bool brushHollow = false;
  COLORREF brushColor = 0;
  std::optional<RECT> clipRegion;  // a copy of the selected clip region
  POINT position{0, 0};
};

// DCs are never freed, only reused by later ones (see handle_table.h), so that
// a single-pixel call can reach one without the table's lock.
struct DeviceContext : GdiObject, DeviceContextState {
  DeviceContext() : GdiObject(GdiType::DeviceContext) {}
  // Guards the state and the pixels drawn into: the DC's own lock for a memory
  // DC (its bitmap is in no other DC), its surface's for a window DC. Changes
  // only while the DC is not live.
  std::atomic<ShortLock*> lock{&ownLock};
  ShortLock ownLock;
  // The handle the DC lives under, null once it has ended. Changed under lock.
  std::atomic<const void*> handle{nullptr};

  ShortLock& Lock() const { return *lock.load(std::memory_order_acquire); }
};

}  // namespace win::stand_in
