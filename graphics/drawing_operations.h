// The drawing operations: one set of slots, held by the hook table every
// primitive is called through, by the defaults and by every mode record.
#pragma once

#include <cstdint>

#include "graphics/graph_state.h"

namespace graph {

using DirectPutPixelProc = void (*)(int16_t x, int16_t y);
using PutPixelProc = void (*)(int16_t x, int16_t y, uint16_t color);
using GetPixelProc = uint16_t (*)(int16_t x, int16_t y);
using SetRGBPaletteProc = void (*)(int16_t colorNum, int16_t red, int16_t green, int16_t blue);
using GetRGBPaletteProc = void (*)(int16_t colorNum, int16_t& red, int16_t& green, int16_t& blue);
using SetAllPaletteProc = void (*)(const PaletteType& palette);
using SetActivePageProc = void (*)(uint16_t page);
using SetVisualPageProc = void (*)(uint16_t page);
using ClearViewPortProc = void (*)();
using PutImageProc = void (*)(int16_t x, int16_t y, const void* image, uint16_t bitBlt);
using GetImageProc = void (*)(int16_t x1, int16_t y1, int16_t x2, int16_t y2, void* image);
using ImageSizeProc = int32_t (*)(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
using GetScanLineProc = void (*)(int16_t x1, int16_t x2, int16_t y, void* data);
using LineProc = void (*)(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
using PatternLineProc = void (*)(int16_t x1, int16_t x2, int16_t y);
using EllipseProc = void (*)(int16_t x, int16_t y, uint16_t xRadius, uint16_t yRadius, uint16_t startAngle,
                             uint16_t endAngle, PatternLineProc fillProc);
using HLineProc = void (*)(int16_t x, int16_t x2, int16_t y);
using VLineProc = void (*)(int16_t x, int16_t y, int16_t y2);
using OutTextXYProc = void (*)(int16_t x, int16_t y, const ShortString& text);
using CircleProc = void (*)(int16_t x, int16_t y, uint16_t radius);
using SetBkColorProc = void (*)(uint16_t color);
using GetBkColorProc = uint16_t (*)();

struct DrawingOperations {
  DirectPutPixelProc DirectPutPixel;
  PutPixelProc PutPixel;
  GetPixelProc GetPixel;
  SetRGBPaletteProc SetRGBPalette;
  GetRGBPaletteProc GetRGBPalette;
  SetAllPaletteProc SetAllPalette;
  SetActivePageProc SetActivePage;
  SetVisualPageProc SetVisualPage;
  ClearViewPortProc ClearViewPort;
  PutImageProc PutImage;
  GetImageProc GetImage;
  ImageSizeProc ImageSize;
  GetScanLineProc GetScanLine;
  LineProc Line;
  EllipseProc InternalEllipse;
  PatternLineProc PatternLine;
  HLineProc HLine;
  VLineProc VLine;
  OutTextXYProc OutTextXY;
  CircleProc Circle;
  SetBkColorProc SetBkColor;
  GetBkColorProc GetBkColor;
};

// The hook table: what the current mode draws with, the defaults while no mode is set.
extern DrawingOperations Hooks;
extern const DrawingOperations DefaultOperations;

void DirectPutPixelDefault(int16_t x, int16_t y);
void PutPixelDefault(int16_t x, int16_t y, uint16_t color);
uint16_t GetPixelDefault(int16_t x, int16_t y);
void SetRGBPaletteDefault(int16_t colorNum, int16_t red, int16_t green, int16_t blue);
void GetRGBPaletteDefault(int16_t colorNum, int16_t& red, int16_t& green, int16_t& blue);
void SetAllPaletteDefault(const PaletteType& palette);
void SetActivePageDefault(uint16_t page);
void SetVisualPageDefault(uint16_t page);
void ClearViewPortDefault();
void DefaultPutImage(int16_t x, int16_t y, const void* image, uint16_t bitBlt);
void DefaultGetImage(int16_t x1, int16_t y1, int16_t x2, int16_t y2, void* image);
int32_t DefaultImageSize(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
void GetScanLineDefault(int16_t x1, int16_t x2, int16_t y, void* data);
void LineDefault(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
void InternalEllipseDefault(int16_t x, int16_t y, uint16_t xRadius, uint16_t yRadius, uint16_t startAngle,
                            uint16_t endAngle, PatternLineProc fillProc);
void PatternLineDefault(int16_t x1, int16_t x2, int16_t y);
void DummyPatternLine(int16_t x1, int16_t x2, int16_t y);
void HLineDefault(int16_t x, int16_t x2, int16_t y);
void VLineDefault(int16_t x, int16_t y, int16_t y2);
void OutTextXYDefault(int16_t x, int16_t y, const ShortString& text);
void CircleDefault(int16_t x, int16_t y, uint16_t radius);
void SetBkColorDefault(uint16_t color);
uint16_t GetBkColorDefault();

}  // namespace graph
