// Clipping a line's steps to a box: the major axis bounds the steps directly,
// the minor axis through the inverse of the rounding.
#include "platform/posix/gdi/line_steps.h"

#include <algorithm>

namespace win::stand_in {
namespace {

using Wide = __int128;

Wide CeilDivide(Wide a, Wide b) {  // b > 0
  Wide q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

// The offsets k (k >= 0 steps in direction step from start) that land in [low, high).
void OffsetRange(int64_t start, int step, int64_t low, int64_t high, Wide& first, Wide& last) {
  if (step >= 0) {
    first = Wide{low} - start;
    last = Wide{high} - 1 - start;
  } else {
    first = Wide{start} - (high - 1);
    last = Wide{start} - low;
  }
}

}  // namespace

LineSteps ClippedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Box& clip) {
  LineSteps line;
  line.x0 = x0;
  line.y0 = y0;
  int64_t dx = x1 - x0, dy = y1 - y0;
  line.xStep = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
  line.yStep = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
  int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  line.xMajor = adx >= ady;
  line.majorLength = line.xMajor ? adx : ady;
  line.minorLength = line.xMajor ? ady : adx;
  if (line.majorLength == 0 || clip.Empty()) return line;

  Wide first = 0, last = line.majorLength - 1;
  Wide low, high;
  if (line.xMajor)
    OffsetRange(x0, line.xStep, clip.left, clip.right, low, high);
  else
    OffsetRange(y0, line.yStep, clip.top, clip.bottom, low, high);
  first = std::max(first, low);
  last = std::min(last, high);

  Wide minorLow, minorHigh;
  if (line.xMajor)
    OffsetRange(y0, line.yStep, clip.top, clip.bottom, minorLow, minorHigh);
  else
    OffsetRange(x0, line.xStep, clip.left, clip.right, minorLow, minorHigh);
  if (line.minorLength == 0) {
    if (minorLow > 0 || minorHigh < 0) return line;
  } else {
    // minor(t) = floor((2 t m + M) / 2M) lies in [minorLow, minorHigh] for
    // t >= ceil((2 M minorLow - M) / 2m) and t <= ceil((2 M (minorHigh + 1) - M) / 2m) - 1.
    Wide major = line.majorLength, twiceMinor = Wide{2} * line.minorLength;
    first = std::max(first, CeilDivide(2 * major * minorLow - major, twiceMinor));
    last = std::min(last, CeilDivide(2 * major * (minorHigh + 1) - major, twiceMinor) - 1);
  }
  if (first > last) return line;
  line.firstStep = static_cast<int64_t>(first);
  line.lastStep = static_cast<int64_t>(last);
  return line;
}

}  // namespace win::stand_in
