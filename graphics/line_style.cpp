// Line settings and the 16-pixel pattern they draw with.
#include "graphics/graph.h"

namespace graph {

namespace {

constexpr uint16_t StylePatterns[4] = {0xFFFF, 0xCCCC, 0xFC78, 0xF8F8};  // solid, dotted, centre, dashed
constexpr uint16_t UserLineStyle = 4;

}  // namespace

void GetLineSettings(LineSettingsType& settings) {
  settings = LineInfo;
}

void SetLineStyle(uint16_t lineStyle, uint16_t pattern, uint16_t thickness) {
  if (lineStyle > UserLineStyle || (thickness != 1 && thickness != 3)) {
    _GraphResult = grError;
    return;
  }
  LineInfo.Thickness = thickness;
  LineInfo.LineStyle = lineStyle;
  LineInfo.Pattern = lineStyle == UserLineStyle ? pattern : StylePatterns[lineStyle];
  for (int i = 0; i < 16; ++i) LinePatterns[15 - i] = ((LineInfo.Pattern >> i) & 1u) != 0;
}

}  // namespace graph
