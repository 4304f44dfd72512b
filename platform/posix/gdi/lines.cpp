// The current position and lines drawn from it in the DC's pen.
#include "platform/posix/gdi/canvas.h"
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/gdi/handle_table.h"
#include "platform/posix/gdi/line_steps.h"

namespace win {

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  stand_in::TableReader table(stand_in::GdiTableLock());
  stand_in::DeviceContext* dc = stand_in::FindDCLocked(hdc);
  if (!dc) return FALSE;
  std::lock_guard<stand_in::ShortLock> guard(dc->Lock());
  if (lppt) *lppt = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  stand_in::TableReader table(stand_in::GdiTableLock());
  stand_in::DeviceContext* dc = stand_in::FindDCLocked(hdc);
  if (!dc) return FALSE;
  stand_in::DrawingLock drawing(*dc);
  POINT from = dc->position;
  dc->position = POINT{x, y};
  if (!dc->penVisible) return TRUE;
  stand_in::Canvas canvas = stand_in::CanvasOf(*dc);
  stand_in::LineSteps line = stand_in::ClippedLine(from.x, from.y, x, y, canvas.clip);
  COLORREF color = dc->penColor;
  stand_in::Box drawn{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  stand_in::WalkLine(line, [&](int64_t px, int64_t py) {
    canvas.Row(py)[px] = color;
    drawn = stand_in::Box{std::min(drawn.left, px), std::min(drawn.top, py), std::max(drawn.right, px + 1),
                          std::max(drawn.bottom, py + 1)};
  });
  stand_in::Damage(canvas, drawn);
  return TRUE;
}

}  // namespace win
