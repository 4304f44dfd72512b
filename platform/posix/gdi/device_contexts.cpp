// Memory and window device contexts: creation with Windows' defaults, the
// selection rules, clip regions, and their end.
#include <mutex>

#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/gdi/handle_table.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win {
namespace {

using stand_in::DeviceContext;
using stand_in::FindDCLocked;
using stand_in::FindLocked;
using stand_in::GdiTableLock;
using stand_in::GdiType;

using Reading = stand_in::TableReader;
using Writing = stand_in::TableWriter;

void TakePen(DeviceContext& dc, HPEN handle, stand_in::Pen& pen) {
  pen.selections.fetch_add(1, std::memory_order_acq_rel);
  dc.penHandle = handle;
  dc.penVisible = pen.visible;
  dc.penColor = pen.color;
}

void TakeBrush(DeviceContext& dc, HBRUSH handle, stand_in::Brush& brush) {
  brush.selections.fetch_add(1, std::memory_order_acq_rel);
  dc.brushHandle = handle;
  dc.brushHollow = brush.hollow;
  dc.brushColor = brush.color;
}

// A new DC holds the black pen and the white brush, as on Windows.
HDC InsertDCLocked(std::unique_ptr<DeviceContext> made) {
  DeviceContext& dc = *made;
  HDC handle = static_cast<HDC>(stand_in::InsertLocked(std::move(made)));
  if (!handle) return nullptr;
  dc.handle.store(handle, std::memory_order_release);
  HPEN pen = static_cast<HPEN>(stand_in::StockObject(BLACK_PEN));
  HBRUSH brush = static_cast<HBRUSH>(stand_in::StockObject(WHITE_BRUSH));
  if (auto* stockPen = FindLocked<stand_in::Pen>(pen, GdiType::Pen)) TakePen(dc, pen, *stockPen);
  if (auto* stockBrush = FindLocked<stand_in::Brush>(brush, GdiType::Brush)) TakeBrush(dc, brush, *stockBrush);
  return handle;
}

// Ends the DC and gives back what it holds, before it is removed.
void ReleaseSelectionsLocked(DeviceContext& dc) {
  stand_in::EndDC(dc);
  if (auto* pen = FindLocked<stand_in::Pen>(dc.penHandle, GdiType::Pen)) pen->selections.fetch_sub(1);
  if (auto* brush = FindLocked<stand_in::Brush>(dc.brushHandle, GdiType::Brush)) brush->selections.fetch_sub(1);
  if (dc.bitmap) dc.bitmap->selectedInto.store(nullptr, std::memory_order_release);
  if (dc.defaultBitmap) stand_in::RemoveLocked(dc.defaultBitmap);
}

HGDIOBJ SelectBitmap(DeviceContext& dc, HDC dcHandle, HBITMAP handle, stand_in::Bitmap& bitmap) {
  if (dc.surface || (bitmap.homeDC && bitmap.homeDC != dcHandle)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::lock_guard<stand_in::ShortLock> guard(dc.Lock());
  if (dc.bitmap == &bitmap) return handle;
  HDC none = nullptr;
  if (!bitmap.selectedInto.compare_exchange_strong(none, dcHandle, std::memory_order_acq_rel)) {
    SetLastError(ERROR_INVALID_PARAMETER);  // in another DC already
    return nullptr;
  }
  HGDIOBJ previous = dc.bitmapHandle;
  if (dc.bitmap) dc.bitmap->selectedInto.store(nullptr, std::memory_order_release);
  dc.bitmap = &bitmap;
  dc.bitmapHandle = handle;
  return previous;
}

int SelectRegion(DeviceContext& dc, const stand_in::Region* region) {
  std::lock_guard<stand_in::ShortLock> guard(dc.Lock());
  if (!region) {
    dc.clipRegion.reset();
    return SIMPLEREGION;
  }
  dc.clipRegion = region->box;
  return region->box.left < region->box.right ? SIMPLEREGION : NULLREGION;
}

}  // namespace

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  Writing table(GdiTableLock());
  if (hdc && !FindDCLocked(hdc)) return nullptr;
  std::unique_ptr<DeviceContext> made = stand_in::NewDCLocked();
  DeviceContext& dc = *made;
  HDC handle = InsertDCLocked(std::move(made));
  if (!handle) return nullptr;
  auto bitmap = std::make_unique<stand_in::Bitmap>();
  bitmap->width = bitmap->height = 1;
  bitmap->pixels.assign(1, 0);
  bitmap->homeDC = handle;
  bitmap->selectedInto.store(handle);
  stand_in::Bitmap* own = bitmap.get();
  HBITMAP ownHandle = static_cast<HBITMAP>(stand_in::InsertLocked(std::move(bitmap)));
  if (!ownHandle) {
    ReleaseSelectionsLocked(dc);
    stand_in::RemoveLocked(handle);
    return nullptr;
  }
  dc.bitmap = own;
  dc.bitmapHandle = dc.defaultBitmap = ownHandle;
  return handle;
}

BOOL WINAPI DeleteDC(HDC hdc) {
  Writing table(GdiTableLock());
  DeviceContext* dc = FindDCLocked(hdc);
  if (!dc) return FALSE;
  if (dc->surface) {  // a window's DC is released, not deleted
    stand_in::SetInvalidHandle();
    return FALSE;
  }
  ReleaseSelectionsLocked(*dc);
  stand_in::RemoveLocked(hdc);
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  Reading table(GdiTableLock());
  DeviceContext* dc = FindDCLocked(hdc);
  if (!dc) return nullptr;
  stand_in::GdiObject* object = stand_in::FindObjectLocked(h);
  if (!object) return nullptr;
  switch (object->type) {
    case GdiType::Bitmap:
      return SelectBitmap(*dc, hdc, static_cast<HBITMAP>(h), *static_cast<stand_in::Bitmap*>(object));
    case GdiType::Region:
      return reinterpret_cast<HGDIOBJ>(
          static_cast<intptr_t>(SelectRegion(*dc, static_cast<stand_in::Region*>(object))));
    case GdiType::Pen: {
      std::lock_guard<stand_in::ShortLock> guard(dc->Lock());
      HPEN previous = dc->penHandle;
      if (previous == h) return previous;
      auto* old = FindLocked<stand_in::Pen>(previous, GdiType::Pen);
      TakePen(*dc, static_cast<HPEN>(h), *static_cast<stand_in::Pen*>(object));
      if (old) old->selections.fetch_sub(1, std::memory_order_acq_rel);
      return previous;
    }
    case GdiType::Brush: {
      std::lock_guard<stand_in::ShortLock> guard(dc->Lock());
      HBRUSH previous = dc->brushHandle;
      if (previous == h) return previous;
      auto* old = FindLocked<stand_in::Brush>(previous, GdiType::Brush);
      TakeBrush(*dc, static_cast<HBRUSH>(h), *static_cast<stand_in::Brush*>(object));
      if (old) old->selections.fetch_sub(1, std::memory_order_acq_rel);
      return previous;
    }
    case GdiType::DeviceContext:
      break;
  }
  stand_in::SetInvalidHandle();
  return nullptr;
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
  Reading table(GdiTableLock());
  DeviceContext* dc = FindDCLocked(hdc);
  if (!dc) return ERROR;
  const stand_in::Region* region = nullptr;
  if (hrgn && !(region = FindLocked<stand_in::Region>(hrgn, GdiType::Region))) return ERROR;
  return SelectRegion(*dc, region);
}

namespace stand_in {

HDC CreateWindowDC(std::shared_ptr<WindowSurface> surface, const RECT& clip) {
  if (!surface) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Writing table(GdiTableLock());
  std::unique_ptr<DeviceContext> dc = stand_in::NewDCLocked();
  dc->lock.store(&surface->lock, std::memory_order_release);
  dc->surface = std::move(surface);
  dc->windowClip = clip;
  return InsertDCLocked(std::move(dc));
}

bool ReleaseWindowDC(HDC dc) {
  Writing table(GdiTableLock());
  DeviceContext* context = FindDCLocked(dc);
  if (!context || !context->surface) return false;
  ReleaseSelectionsLocked(*context);
  RemoveLocked(dc);
  return true;
}

std::shared_ptr<WindowSurface> SurfaceOfDC(HDC dc) {
  DWORD error = GetLastError();  // a question, not a failing call
  Reading table(GdiTableLock());
  DeviceContext* context = FindDCLocked(dc);
  SetLastError(error);
  return context ? context->surface : nullptr;
}

}  // namespace stand_in
}  // namespace win
