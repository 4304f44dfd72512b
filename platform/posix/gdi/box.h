// Rectangles in 64-bit coordinates, right and bottom exclusive, so that sums of
// any two 32-bit coordinates neither overflow nor wrap.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/posix/win_types.h"

namespace win::stand_in {

struct Box {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;

  bool Empty() const { return left >= right || top >= bottom; }
  bool Contains(int64_t x, int64_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  int64_t Width() const { return right - left; }
  int64_t Height() const { return bottom - top; }
};

inline Box Intersection(const Box& a, const Box& b) {
  return Box{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
}

inline Box BoxOf(const RECT& r) {
  return Box{r.left, r.top, r.right, r.bottom};
}

// The box with left <= right and top <= bottom.
inline Box Ordered(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return Box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace win::stand_in
