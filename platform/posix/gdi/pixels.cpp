// Single pixels: set and read within the DC's bitmap or surface and its clip,
// under the DC's lock alone.
#include "platform/posix/gdi/canvas.h"
#include "platform/posix/gdi/gdi_api.h"

namespace win {

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  stand_in::LockedDC dc(hdc);
  if (!dc.get()) return FALSE;
  COLORREF* pixel = stand_in::ClippedPixel(*dc.get(), x, y);
  if (!pixel) return FALSE;
  *pixel = stand_in::ColorBits(color);
  if (stand_in::WindowSurface* surface = dc.get()->surface.get()) surface->AddDamage(x, y, x + 1, y + 1);
  return TRUE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  stand_in::LockedDC dc(hdc);
  if (!dc.get()) return CLR_INVALID;
  const COLORREF* pixel = stand_in::ClippedPixel(*dc.get(), x, y);
  return pixel ? *pixel : CLR_INVALID;
}

}  // namespace win
