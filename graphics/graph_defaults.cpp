// The drawing state every mode starts with.
#include "graphics/graph.h"

namespace graph {

void GraphDefaults() {
  LineInfo.LineStyle = 0;
  LineInfo.Thickness = 1;
  for (bool& drawn : LinePatterns) drawn = true;
  FillSettings.Color = GetMaxColor();
  FillSettings.Pattern = 1;
  for (uint8_t& row : FillPatternTable[12]) row = 0xFF;
  CurrentColor = 15;
  ClipPixels = true;
  StartXViewPort = 0;
  StartYViewPort = 0;
  ViewWidth = MaxX;
  ViewHeight = MaxY;
  CurrentX = 0;
  CurrentY = 0;
  Hooks.SetBkColor(0);
  CurrentWriteMode = 0;
  CurrentTextInfo.Font = 0;
  CurrentTextInfo.Direction = 0;
  CurrentTextInfo.CharSize = 1;
  CurrentTextInfo.Horiz = 0;
  CurrentTextInfo.Vert = 2;
}

}  // namespace graph
