// Text output at the current position and the metrics of the built-in font.
#include "graphics/graph.h"

namespace graph {

namespace {

constexpr uint32_t FontCellSize = 8;

}  // namespace

// No stroked font is ever loaded, so every font measures as the built-in one.
uint16_t TextWidth(const ShortString& text) {
  return static_cast<uint16_t>(uint32_t{text.length} * FontCellSize * CurrentTextInfo.CharSize);
}

uint16_t TextHeight(const ShortString&) {
  return static_cast<uint16_t>(FontCellSize * CurrentTextInfo.CharSize);
}

void GetTextPosition(int32_t& xOffset, int32_t& yOffset, const ShortString& text) {
  int32_t width = TextWidth(text), height = TextHeight(text);
  switch (CurrentTextInfo.Horiz) {
    case 0:
      xOffset = 0;
      break;
    case 1:
      xOffset = width / 2;
      break;
    case 2:
      xOffset = width;
      break;
    default:
      break;
  }
  switch (CurrentTextInfo.Vert) {
    case 0:
      yOffset = -height;
      break;
    case 1:
      yOffset = -(height / 2);
      break;
    case 2:
      yOffset = 0;
      break;
    default:
      break;
  }
}

ShortString ConvertString(const ShortString& text) {
  if (!GraphStringTransTable) return text;
  ShortString converted;
  converted.length = text.length;
  for (uint8_t i = 0; i < text.length; ++i)
    converted.chars[i] = static_cast<char>(GraphStringTransTable[static_cast<uint8_t>(text.chars[i])]);
  return converted;
}

void OutText(const ShortString& text) {
  int16_t x = CurrentX, y = CurrentY;
  Hooks.OutTextXY(CurrentX, CurrentY, text);
  // Only horizontal, left-justified text moves the position past itself.
  if (CurrentTextInfo.Direction == 0 && CurrentTextInfo.Horiz == 0)
    x = static_cast<int16_t>(static_cast<uint16_t>(x) + TextWidth(text));
  CurrentX = x;
  CurrentY = y;
}

}  // namespace graph
