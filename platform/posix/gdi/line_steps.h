// The pixels of a line from (x0, y0) towards (x1, y1), end point excluded: step
// t along the major axis moves the minor axis by round(t * minor / major), half
// rounded up. Steps outside a clip box are skipped analytically, so a line of
// any length costs only the pixels it can show.
#pragma once

#include <cstdint>

#include "platform/posix/gdi/box.h"

namespace win::stand_in {

struct LineSteps {
  int64_t firstStep = 0;  // the steps that lie inside the clip, inclusive;
  int64_t lastStep = -1;  // none when lastStep < firstStep
  int64_t x0 = 0, y0 = 0;
  int64_t majorLength = 0, minorLength = 0;  // absolute deltas along the axes
  int xStep = 0, yStep = 0;                  // -1, 0 or 1
  bool xMajor = true;
};

LineSteps ClippedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Box& clip);

// Calls plot(x, y) for each step from firstStep to lastStep.
template <typename Plot>
void WalkLine(const LineSteps& line, Plot plot) {
  if (line.lastStep < line.firstStep) return;
  const int64_t twiceMajor = 2 * line.majorLength, twiceMinor = 2 * line.minorLength;
  // Minor offset and remainder of the first step, in 128 bits since the step
  // count and the length can both approach 2^33.
  __int128 numerator = static_cast<__int128>(line.firstStep) * twiceMinor + line.majorLength;
  int64_t minor = static_cast<int64_t>(numerator / twiceMajor);
  int64_t remainder = static_cast<int64_t>(numerator % twiceMajor);
  for (int64_t t = line.firstStep; t <= line.lastStep; ++t) {
    if (line.xMajor)
      plot(line.x0 + line.xStep * t, line.y0 + line.yStep * minor);
    else
      plot(line.x0 + line.xStep * minor, line.y0 + line.yStep * t);
    remainder += twiceMinor;
    if (remainder >= twiceMajor) {
      remainder -= twiceMajor;
      ++minor;
    }
  }
}

}  // namespace win::stand_in
