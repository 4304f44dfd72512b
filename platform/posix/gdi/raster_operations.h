// Ternary raster operations: the 8-bit index in bits 16 to 23 of a raster code
// is a truth table; the result bit for pattern bit P, source bit S and
// destination bit D is bit P*4 + S*2 + D of the index, applied to each of the
// 24 colour bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/posix/win_types.h"

namespace win::stand_in {

constexpr uint8_t RopIndex(DWORD rop) {
  return static_cast<uint8_t>((rop >> 16) & 0xFFu);
}
// Whether the result changes with the source, the pattern or the destination.
constexpr bool RopUsesSource(uint8_t index) {
  return ((index >> 2) ^ index) & 0x33u;
}
constexpr bool RopUsesPattern(uint8_t index) {
  return ((index >> 4) ^ index) & 0x0Fu;
}
constexpr bool RopUsesDestination(uint8_t index) {
  return ((index >> 1) ^ index) & 0x55u;
}

COLORREF ApplyRop(uint8_t index, COLORREF pattern, COLORREF source, COLORREF destination);

// destination[i] := op(pattern, source[i], destination[i]) for count pixels.
// source may be null when the operation does not use it; it may not overlap
// destination unless it is the same row (a plain copy onto itself).
void ApplyRopToRow(uint8_t index, COLORREF pattern, const COLORREF* source, COLORREF* destination, size_t count);

}  // namespace win::stand_in
