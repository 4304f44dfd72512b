// The process-wide graphics state, the tables it starts from, and the hook slots
// through which every drawing primitive is called.
#pragma once

#include <cstdint>

#include "runtime/short_string.h"

namespace graph {

using rtl::ShortString;

struct LineSettingsType {
  uint16_t LineStyle;
  uint16_t Pattern;
  uint16_t Thickness;
};
struct FillSettingsType {
  uint16_t Pattern;
  uint16_t Color;
};
struct TextSettingsType {
  uint16_t Font;
  uint16_t Direction;
  uint16_t CharSize;
  uint16_t Horiz;
  uint16_t Vert;
};
struct ViewPortType {
  int16_t X1, Y1, X2, Y2;
  bool Clip;
};
struct ArcCoordsType {
  int16_t X, Y, XStart, YStart, XEnd, YEnd;
};
struct RGBRec {
  int16_t Red, Green, Blue;
};
struct PaletteType {
  int32_t Size;
  RGBRec Colors[256];
};

// Result codes.
constexpr int16_t grOk = 0;
constexpr int16_t grNoInitGraph = -1;
constexpr int16_t grNotDetected = -2;
constexpr int16_t grInvalidMode = -10;
constexpr int16_t grError = -11;

extern int16_t MaxX, MaxY;
extern int32_t MaxColor;
extern int32_t PaletteSize;
extern uint16_t XAspect, YAspect;
extern bool DirectColor;
extern uint8_t HardwarePages;
extern int16_t IntCurrentMode;
extern int16_t IntCurrentDriver;
extern int16_t IntCurrentNewDriver;
extern bool IsGraphMode;
extern ShortString DriverName;
extern bool DirectVideo;
extern ArcCoordsType ArcCall;
extern int16_t _GraphResult;
extern int16_t CurrentX, CurrentY;
extern int16_t StartXViewPort, StartYViewPort;
extern int16_t ViewWidth, ViewHeight;
extern bool ClipPixels;
extern uint16_t CurrentColor;
extern uint16_t CurrentBkColor;
extern int16_t CurrentWriteMode;
extern LineSettingsType LineInfo;
extern FillSettingsType FillSettings;
extern TextSettingsType CurrentTextInfo;
extern float CurrentXRatio, CurrentYRatio;
extern int32_t InstalledFonts;

extern bool LinePatterns[16];
extern uint8_t FillPatternTable[13][8];
extern const RGBRec DefaultColors[256];

// Hook slot signatures.
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
using GraphFreeMemPtrProc = void (*)(void*& p, uint32_t size);
using GraphGetMemPtrProc = void (*)(void*& p, uint32_t size);
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
using VideoStateProc = void (*)();
using InitModeProcType = void (*)();

extern DirectPutPixelProc DirectPutPixel;
extern PutPixelProc PutPixel;
extern GetPixelProc GetPixel;
extern SetRGBPaletteProc SetRGBPalette;
extern GetRGBPaletteProc GetRGBPalette;
extern SetAllPaletteProc SetAllPalette;
extern SetActivePageProc SetActivePage;
extern SetVisualPageProc SetVisualPage;
extern ClearViewPortProc ClearViewPort;
extern PutImageProc PutImage;
extern GetImageProc GetImage;
extern ImageSizeProc ImageSize;
extern GraphFreeMemPtrProc GraphFreeMemPtr;
extern GraphGetMemPtrProc GraphGetMemPtr;
extern GetScanLineProc GetScanLine;
extern LineProc Line;
extern EllipseProc InternalEllipse;
extern PatternLineProc PatternLine;
extern HLineProc HLine;
extern VLineProc VLine;
extern OutTextXYProc OutTextXY;
extern CircleProc Circle;
extern SetBkColorProc SetBkColor;
extern GetBkColorProc GetBkColor;
extern VideoStateProc SaveVideoState;
extern VideoStateProc RestoreVideoState;

// The slots' defaults, installed by DefaultHooks.
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

// Font slots 1 to 16; only names are ever registered.
constexpr int32_t MaxFonts = 16;
struct FontSlot {
  struct {
    uint8_t length;
    char chars[8];
  } Name;
  uint8_t Header[28];
  uint16_t Offsets[256];
  uint8_t Widths[256];
  int32_t InstrLength;
  uint8_t* Instr;
};
extern FontSlot Fonts[MaxFonts + 1];  // index 0 unused
extern const uint8_t* GraphStringTransTable;
extern bool DrawTextBackground;

}  // namespace graph
