// The process-wide graphics state and the tables it starts from.
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

// The slots outside the drawing operations: memory requests, which nothing
// fills, and the video state the driver's mode-table step fills.
using GraphFreeMemPtrProc = void (*)(void*& p, uint32_t size);
using GraphGetMemPtrProc = void (*)(void*& p, uint32_t size);
using VideoStateProc = void (*)();
extern GraphFreeMemPtrProc GraphFreeMemPtr;
extern GraphGetMemPtrProc GraphGetMemPtr;
extern VideoStateProc SaveVideoState;
extern VideoStateProc RestoreVideoState;

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
