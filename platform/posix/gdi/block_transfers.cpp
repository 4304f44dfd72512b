// BitBlt and StretchBlt: every ternary raster operation, clipped to the
// destination's clip and to the pixels the source really has. StretchBlt
// samples the nearest source pixel of each destination pixel's centre.
#include <vector>

#include "platform/posix/gdi/canvas.h"
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/gdi/handle_table.h"
#include "platform/posix/gdi/raster_operations.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win {
namespace {

using stand_in::Box;
using stand_in::Canvas;

// A transfer's two DCs, looked up and locked for the call.
struct Transfer {
  stand_in::DeviceContext* destination = nullptr;
  stand_in::DeviceContext* source = nullptr;
  Canvas target, origin;
  std::vector<COLORREF> sourceCopy;  // when source and target share their pixels
  uint8_t rop = 0;
};

// Normalises a start and a signed extent to a start and a non-negative one.
void Normalise(int64_t& start, int64_t& extent) {
  if (extent < 0) {
    start += extent;
    extent = -extent;
  }
}

template <typename Body>
BOOL WithTransfer(HDC hdcDest, HDC hdcSrc, DWORD rop, Body body) {
  stand_in::TableReader table(stand_in::GdiTableLock());
  Transfer t;
  t.rop = stand_in::RopIndex(rop);
  t.destination = stand_in::FindDCLocked(hdcDest);
  if (!t.destination) return FALSE;
  bool usesSource = stand_in::RopUsesSource(t.rop);
  if (usesSource && !(t.source = stand_in::FindDCLocked(hdcSrc))) return FALSE;
  stand_in::DrawingLock drawing(*t.destination, t.source);
  // A hollow brush gives no pattern to draw with.
  if (stand_in::RopUsesPattern(t.rop) && t.destination->brushHollow) return TRUE;
  t.target = stand_in::CanvasOf(*t.destination);
  if (t.source) {
    t.origin = stand_in::CanvasOf(*t.source);
    if (t.origin.pixels == t.target.pixels && t.origin.pixels) {
      t.sourceCopy.assign(t.origin.pixels, t.origin.pixels + t.origin.width * t.origin.height);
      t.origin.pixels = t.sourceCopy.data();
    }
  }
  return body(t);
}

void FinishTransfer(const Transfer& t, const Box& changed) {
  if (t.rop != 0xAA) stand_in::Damage(t.target, changed);  // 0xAA leaves the destination as it is
}

BOOL Block(Transfer& t, int64_t x, int64_t y, int64_t width, int64_t height, int64_t sx, int64_t sy) {
  // A negative extent covers the same pixels from the other side, in both DCs.
  if (width < 0) sx += width;
  if (height < 0) sy += height;
  Normalise(x, width);
  Normalise(y, height);
  Box area = Intersection(Box{x, y, x + width, y + height}, t.target.clip);
  if (t.source) area = Intersection(area, Box{x - sx, y - sy, x - sx + t.origin.width, y - sy + t.origin.height});
  if (area.Empty()) return TRUE;
  COLORREF pattern = t.destination->brushColor;
  for (int64_t row = area.top; row < area.bottom; ++row) {
    const COLORREF* from = t.source ? t.origin.Row(row - y + sy) + (area.left - x + sx) : nullptr;
    stand_in::ApplyRopToRow(t.rop, pattern, from, t.target.Row(row) + area.left, static_cast<size_t>(area.Width()));
  }
  FinishTransfer(t, area);
  return TRUE;
}

// The source index for each destination position in [first, last) of an
// extent stretched from sourceExtent to extent; -1 where the source has none.
std::vector<int64_t> SampleMap(int64_t first, int64_t last, int64_t start, int64_t extent, int64_t sourceStart,
                               int64_t sourceExtent, bool mirrored, int64_t sourceSize) {
  std::vector<int64_t> map;
  map.reserve(static_cast<size_t>(last - first));
  for (int64_t position = first; position < last; ++position) {
    int64_t j = position - start;
    if (mirrored) j = extent - 1 - j;
    __int128 offset = (static_cast<__int128>(2 * j + 1) * sourceExtent) / (static_cast<__int128>(2) * extent);
    __int128 index = offset + sourceStart;
    map.push_back(index >= 0 && index < sourceSize ? static_cast<int64_t>(index) : -1);
  }
  return map;
}

// The sampled positions form one run, since the map is monotonic.
void ValidRun(const std::vector<int64_t>& map, size_t& begin, size_t& end) {
  begin = 0;
  while (begin < map.size() && map[begin] < 0) ++begin;
  end = begin;
  while (end < map.size() && map[end] >= 0) ++end;
}

}  // namespace

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  return WithTransfer(hdc, hdcSrc, rop, [&](Transfer& t) { return Block(t, x, y, cx, cy, x1, y1); });
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
  return WithTransfer(hdcDest, hdcSrc, rop, [&](Transfer& t) -> BOOL {
    if (!t.source) return Block(t, xDest, yDest, wDest, hDest, 0, 0);
    if (wDest == 0 || hDest == 0) return TRUE;
    if (wSrc == 0 || hSrc == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    int64_t x = xDest, y = yDest, w = wDest, h = hDest, sx = xSrc, sy = ySrc, sw = wSrc, sh = hSrc;
    bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
    Normalise(x, w);
    Normalise(y, h);
    Normalise(sx, sw);
    Normalise(sy, sh);
    Box area = Intersection(Box{x, y, x + w, y + h}, t.target.clip);
    if (area.Empty()) return TRUE;
    std::vector<int64_t> columns = SampleMap(area.left, area.right, x, w, sx, sw, mirrorX, t.origin.width);
    std::vector<int64_t> rows = SampleMap(area.top, area.bottom, y, h, sy, sh, mirrorY, t.origin.height);
    size_t firstColumn, endColumn, firstRow, endRow;
    ValidRun(columns, firstColumn, endColumn);
    ValidRun(rows, firstRow, endRow);
    if (firstColumn == endColumn || firstRow == endRow) return TRUE;
    std::vector<COLORREF> sampled(endColumn - firstColumn);
    COLORREF pattern = t.destination->brushColor;
    for (size_t r = firstRow; r < endRow; ++r) {
      const COLORREF* from = t.origin.Row(rows[r]);
      for (size_t c = firstColumn; c < endColumn; ++c) sampled[c - firstColumn] = from[columns[c]];
      COLORREF* to = t.target.Row(area.top + static_cast<int64_t>(r)) + area.left + static_cast<int64_t>(firstColumn);
      stand_in::ApplyRopToRow(t.rop, pattern, sampled.data(), to, sampled.size());
    }
    FinishTransfer(t, Box{area.left + static_cast<int64_t>(firstColumn), area.top + static_cast<int64_t>(firstRow),
                          area.left + static_cast<int64_t>(endColumn), area.top + static_cast<int64_t>(endRow)});
    return TRUE;
  });
}

}  // namespace win
