// Single pixels: set and read within the DC's bitmap or surface and its clip.
#include "platform/posix/gdi/canvas.h"
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/gdi/handle_table.h"

namespace win {

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  stand_in::TableReader table(stand_in::GdiTableLock());
  stand_in::DeviceContext* dc = stand_in::FindDCLocked(hdc);
  if (!dc) return FALSE;
  stand_in::DrawingLock drawing(*dc);
  stand_in::Canvas canvas = stand_in::CanvasOf(*dc);
  if (!canvas.clip.Contains(x, y)) return FALSE;
  canvas.Row(y)[x] = stand_in::ColorBits(color);
  stand_in::Damage(canvas, stand_in::Box{x, y, int64_t{x} + 1, int64_t{y} + 1});
  return TRUE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  stand_in::TableReader table(stand_in::GdiTableLock());
  stand_in::DeviceContext* dc = stand_in::FindDCLocked(hdc);
  if (!dc) return CLR_INVALID;
  stand_in::DrawingLock drawing(*dc);
  stand_in::Canvas canvas = stand_in::CanvasOf(*dc);
  if (!canvas.clip.Contains(x, y)) return CLR_INVALID;
  return canvas.Row(y)[x];
}

}  // namespace win
