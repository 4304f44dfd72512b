// The raster operation per pixel, with plain loops for the common operations.
#include "platform/posix/gdi/raster_operations.h"

#include <algorithm>
#include <cstring>

namespace win::stand_in {
namespace {

constexpr COLORREF Bits = 0x00FFFFFFu;

template <typename Op>
void EachWithSource(const COLORREF* s, COLORREF* d, size_t n, Op op) {
  for (size_t i = 0; i < n; ++i) d[i] = op(s[i], d[i]) & Bits;
}

template <typename Op>
void EachDestination(COLORREF* d, size_t n, Op op) {
  for (size_t i = 0; i < n; ++i) d[i] = op(d[i]) & Bits;
}

}  // namespace

COLORREF ApplyRop(uint8_t index, COLORREF pattern, COLORREF source, COLORREF destination) {
  COLORREF result = 0;
  for (unsigned term = 0; term < 8; ++term) {
    if (!((index >> term) & 1u)) continue;
    COLORREF p = (term & 4u) ? pattern : ~pattern;
    COLORREF s = (term & 2u) ? source : ~source;
    COLORREF d = (term & 1u) ? destination : ~destination;
    result |= p & s & d;
  }
  return result & Bits;
}

void ApplyRopToRow(uint8_t index, COLORREF pattern, const COLORREF* s, COLORREF* d, size_t n) {
  pattern &= Bits;
  switch (index) {
    case 0xCC:  // SRCCOPY
      if (s != d) std::memcpy(d, s, n * sizeof(COLORREF));
      return;
    case 0x00:  // BLACKNESS
      std::fill_n(d, n, 0u);
      return;
    case 0xFF:  // WHITENESS
      std::fill_n(d, n, Bits);
      return;
    case 0xF0:  // PATCOPY
      std::fill_n(d, n, pattern);
      return;
    case 0xAA:  // the destination unchanged
      return;
    case 0xEE:  // SRCPAINT
      EachWithSource(s, d, n, [](COLORREF sv, COLORREF dv) { return sv | dv; });
      return;
    case 0x88:  // SRCAND
      EachWithSource(s, d, n, [](COLORREF sv, COLORREF dv) { return sv & dv; });
      return;
    case 0x66:  // SRCINVERT
      EachWithSource(s, d, n, [](COLORREF sv, COLORREF dv) { return sv ^ dv; });
      return;
    case 0x22:  // the source's ink cleared from the destination
      EachWithSource(s, d, n, [](COLORREF sv, COLORREF dv) { return dv & ~sv; });
      return;
    case 0xEA:  // the source's ink in the pattern's colour
      EachWithSource(s, d, n, [pattern](COLORREF sv, COLORREF dv) { return dv | (pattern & sv); });
      return;
    case 0x33:  // NOTSRCCOPY
      EachWithSource(s, d, n, [](COLORREF sv, COLORREF) { return ~sv; });
      return;
    case 0x55:  // DSTINVERT
      EachDestination(d, n, [](COLORREF dv) { return ~dv; });
      return;
    case 0x5A:  // PATINVERT
      EachDestination(d, n, [pattern](COLORREF dv) { return dv ^ pattern; });
      return;
    default:
      break;
  }
  for (size_t i = 0; i < n; ++i) d[i] = ApplyRop(index, pattern, s ? s[i] : 0, d[i]);
}

}  // namespace win::stand_in
