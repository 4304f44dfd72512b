// The process-wide graphics state and the hook slots, zero until written.
#include "graphics/graph_state.h"

namespace graph {

int16_t MaxX, MaxY;
int32_t MaxColor;
int32_t PaletteSize;
uint16_t XAspect, YAspect;
bool DirectColor;
uint8_t HardwarePages;
int16_t IntCurrentMode;
int16_t IntCurrentDriver;
int16_t IntCurrentNewDriver;
bool IsGraphMode;
ShortString DriverName;
bool DirectVideo;
ArcCoordsType ArcCall;
int16_t _GraphResult;
int16_t CurrentX, CurrentY;
int16_t StartXViewPort, StartYViewPort;
int16_t ViewWidth, ViewHeight;
bool ClipPixels;
uint16_t CurrentColor;
uint16_t CurrentBkColor;
int16_t CurrentWriteMode;
LineSettingsType LineInfo;
FillSettingsType FillSettings;
TextSettingsType CurrentTextInfo;
float CurrentXRatio, CurrentYRatio;
int32_t InstalledFonts;

bool LinePatterns[16] = {true, true, true, true, true, true, true, true,
                         true, true, true, true, true, true, true, true};

uint8_t FillPatternTable[13][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
    {0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1, 0x83}, {0x07, 0x83, 0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E},
    {0x5A, 0x2D, 0x96, 0x4B, 0xA5, 0xD2, 0x69, 0xB4}, {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},
    {0x18, 0x24, 0x42, 0x81, 0x81, 0x42, 0x24, 0x18}, {0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33},
    {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}, {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // the user pattern
};

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
GraphFreeMemPtrProc GraphFreeMemPtr;
GraphGetMemPtrProc GraphGetMemPtr;
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
VideoStateProc SaveVideoState;
VideoStateProc RestoreVideoState;

}  // namespace graph
