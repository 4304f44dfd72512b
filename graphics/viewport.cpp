// Result code, mode limits and the viewport.
#include "graphics/graph.h"

namespace graph {

int16_t GraphResult() {
  int16_t result = _GraphResult;
  _GraphResult = grOk;
  return result;
}

int16_t GetMaxX() {
  return MaxX;
}
int16_t GetMaxY() {
  return MaxY;
}
uint16_t GetMaxColor() {
  return static_cast<uint16_t>(static_cast<uint32_t>(MaxColor) - 1u);
}

void SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
  bool xValid = x1 <= GetMaxX() && x2 <= GetMaxX() && x1 <= x2 && x1 >= 0;
  bool yValid = xValid && y1 <= GetMaxY() && y2 <= GetMaxY() && y1 <= y2 && y1 >= 0;
  if (!yValid) {
    _GraphResult = grError;
    return;
  }
  CurrentX = 0;
  CurrentY = 0;
  StartXViewPort = x1;
  StartYViewPort = y1;
  // Within the mode both differences fit, since 0 <= x1 <= x2.
  ViewWidth = static_cast<int16_t>(x2 - x1);
  ViewHeight = static_cast<int16_t>(y2 - y1);
  ClipPixels = clip;
}

void GetViewSettings(ViewPortType& viewport) {
  viewport.X1 = StartXViewPort;
  viewport.Y1 = StartYViewPort;
  viewport.X2 = static_cast<int16_t>(static_cast<uint16_t>(StartXViewPort) + static_cast<uint16_t>(ViewWidth));
  viewport.Y2 = static_cast<int16_t>(static_cast<uint16_t>(StartYViewPort) + static_cast<uint16_t>(ViewHeight));
  viewport.Clip = ClipPixels;
}

}  // namespace graph
