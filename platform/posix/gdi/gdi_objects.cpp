// Creating and deleting bitmaps, pens, brushes and regions; the stock objects.
#include <mutex>
#include <new>

#include "platform/posix/gdi/box.h"
#include "platform/posix/gdi/canvas.h"
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/gdi/handle_table.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win {
namespace {

using stand_in::GdiTableLock;

// A 1024 x 768 picture is 786432 pixels; far beyond that is a mistake.
constexpr uint64_t MaximumBitmapPixels = uint64_t{1} << 26;

template <typename Handle>
Handle Insert(std::unique_ptr<stand_in::GdiObject> object) {
  stand_in::TableWriter table(GdiTableLock());
  return static_cast<Handle>(stand_in::InsertLocked(std::move(object)));
}

}  // namespace

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  if (cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (cx == 0 || cy == 0) cx = cy = 1;  // as Windows, a 1 x 1 bitmap
  if (static_cast<uint64_t>(cx) * static_cast<uint64_t>(cy) > MaximumBitmapPixels) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto bitmap = std::make_unique<stand_in::Bitmap>();
  try {
    bitmap->pixels.assign(static_cast<size_t>(cx) * static_cast<size_t>(cy), 0);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  bitmap->width = cx;
  bitmap->height = cy;
  stand_in::TableWriter table(GdiTableLock());
  if (!stand_in::FindDCLocked(hdc)) return nullptr;
  return static_cast<HBITMAP>(stand_in::InsertLocked(std::move(bitmap)));
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  (void)cWidth;  // every pen draws one pixel wide
  if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto pen = std::make_unique<stand_in::Pen>();
  pen->visible = iStyle != PS_NULL;
  pen->color = stand_in::ColorBits(color);
  return Insert<HPEN>(std::move(pen));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  auto brush = std::make_unique<stand_in::Brush>();
  brush->color = stand_in::ColorBits(color);
  return Insert<HBRUSH>(std::move(brush));
}

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  auto region = std::make_unique<stand_in::Region>();
  stand_in::Box box = stand_in::Ordered(x1, y1, x2, y2);
  if (!box.Empty()) {
    region->box = RECT{static_cast<LONG>(box.left), static_cast<LONG>(box.top), static_cast<LONG>(box.right),
                       static_cast<LONG>(box.bottom)};
  }
  return Insert<HRGN>(std::move(region));
}

HGDIOBJ WINAPI GetStockObject(int i) {
  return stand_in::StockObject(i);
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  stand_in::TableWriter table(GdiTableLock());
  stand_in::GdiObject* object = stand_in::FindObjectLocked(ho);
  if (!object) return FALSE;
  if (object->stock) return TRUE;
  switch (object->type) {
    case stand_in::GdiType::DeviceContext:
      stand_in::SetInvalidHandle();
      return FALSE;
    case stand_in::GdiType::Bitmap: {
      auto* bitmap = static_cast<stand_in::Bitmap*>(object);
      if (bitmap->homeDC) return TRUE;  // a DC's own bitmap goes with the DC
      if (bitmap->selectedInto.load(std::memory_order_acquire)) return FALSE;
      break;
    }
    case stand_in::GdiType::Pen:
      if (static_cast<stand_in::Pen*>(object)->selections.load(std::memory_order_acquire) > 0) return FALSE;
      break;
    case stand_in::GdiType::Brush:
      if (static_cast<stand_in::Brush*>(object)->selections.load(std::memory_order_acquire) > 0) return FALSE;
      break;
    case stand_in::GdiType::Region:
      break;
  }
  stand_in::RemoveLocked(ho);
  return TRUE;
}

}  // namespace win
