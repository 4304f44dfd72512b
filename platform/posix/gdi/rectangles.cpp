// Rectangle: the outline in the pen, the inside in the brush, right and bottom
// edges excluded. Without a pen the filled area is one pixel smaller, as on Windows.
#include <algorithm>

#include "platform/posix/gdi/canvas.h"
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/gdi/handle_table.h"

namespace win {
namespace {

using stand_in::Box;

void Fill(const stand_in::Canvas& canvas, const Box& area, COLORREF color) {
  Box box = Intersection(area, canvas.clip);
  if (box.Empty()) return;
  for (int64_t y = box.top; y < box.bottom; ++y) std::fill_n(canvas.Row(y) + box.left, box.Width(), color);
}

}  // namespace

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  stand_in::TableReader table(stand_in::GdiTableLock());
  stand_in::DeviceContext* dc = stand_in::FindDCLocked(hdc);
  if (!dc) return FALSE;
  stand_in::DrawingLock drawing(*dc);
  stand_in::Canvas canvas = stand_in::CanvasOf(*dc);
  Box frame = stand_in::Ordered(left, top, right, bottom);
  if (frame.Empty()) return TRUE;
  Box drawn{};
  if (dc->penVisible) {
    COLORREF pen = dc->penColor;
    Fill(canvas, Box{frame.left, frame.top, frame.right, frame.top + 1}, pen);
    Fill(canvas, Box{frame.left, frame.bottom - 1, frame.right, frame.bottom}, pen);
    Fill(canvas, Box{frame.left, frame.top, frame.left + 1, frame.bottom}, pen);
    Fill(canvas, Box{frame.right - 1, frame.top, frame.right, frame.bottom}, pen);
    drawn = frame;
    if (!dc->brushHollow)
      Fill(canvas, Box{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1}, dc->brushColor);
  } else if (!dc->brushHollow) {
    drawn = Box{frame.left, frame.top, frame.right - 1, frame.bottom - 1};
    Fill(canvas, drawn, dc->brushColor);
  }
  stand_in::Damage(canvas, Intersection(drawn, canvas.clip));
  return TRUE;
}

}  // namespace win
