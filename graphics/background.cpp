// Background colour and clearing the viewport to it.
#include "graphics/graph.h"

namespace graph {

// The background is always palette entry 0; it takes the default colour of the chosen index.
void SetBkColorDefault(uint16_t color) {
  ViewPortType saved;
  GetViewSettings(saved);
  SetViewPort(0, 0, MaxX, MaxY, false);
  CurrentBkColor = color;
  if (!DirectColor && color < 256)
    Hooks.SetRGBPalette(0, DefaultColors[color].Red, DefaultColors[color].Green, DefaultColors[color].Blue);
  SetViewPort(saved.X1, saved.Y1, saved.X2, saved.Y2, saved.Clip);
}

uint16_t GetBkColorDefault() {
  return CurrentBkColor;
}

void ClearViewPortDefault() {
  CurrentX = 0;
  CurrentY = 0;
  uint16_t savedColor = CurrentColor;
  CurrentColor = CurrentBkColor;
  int16_t savedWriteMode = CurrentWriteMode;
  CurrentWriteMode = 0;
  LineSettingsType savedLine;
  GetLineSettings(savedLine);
  SetLineStyle(0, 0, 1);
  for (int32_t y = 0; y <= ViewHeight; ++y) Hooks.HLine(0, ViewWidth, static_cast<int16_t>(y));
  SetLineStyle(savedLine.LineStyle, savedLine.Pattern, savedLine.Thickness);
  CurrentColor = savedColor;
  CurrentWriteMode = savedWriteMode;
}

}  // namespace graph
