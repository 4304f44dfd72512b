// Opening graphics: resetting the mode variables, finding the mode, and setting it.
#include "graphics/graph.h"
#include "runtime/system.h"

namespace graph {

bool FirstCallOfInitGraph = true;
ShortString DriverPath = ".";

namespace {

constexpr uint16_t NoVideoStateSaver = 216;

void SetDriverPath(const ShortString& path) {
  DriverPath = path;
  if (DriverPath.length > 0 && DriverPath.length < 255 && DriverPath.chars[DriverPath.length - 1] != '\\')
    DriverPath.chars[DriverPath.length++] = '\\';
}

void StartFoundMode(int16_t driver, int16_t mode) {
  IntCurrentDriver = driver;
  IntCurrentNewDriver = IsNewDriver(driver) ? driver : -1;
  if (FirstCallOfInitGraph) {
    SaveVideoState();
    FirstCallOfInitGraph = false;
  }
  SetGraphMode(mode);
}

PModeInfo FindModeRecord(int16_t mode) {
  if (mode == DetectMode) {
    mode = HighestMode;
    return SearchMode(IntCurrentNewDriver, mode);
  }
  if (mode >= FirstResolutionMode && mode <= LastResolutionMode) return SearchMode(IntCurrentNewDriver, mode);
  return SearchMode(IntCurrentDriver, mode);
}

bool OffersRequired(const DrawingOperations& offered) {
  return offered.DirectPutPixel && offered.PutPixel && offered.GetPixel && offered.SetRGBPalette &&
         offered.GetRGBPalette;
}

template <typename Proc>
void TakeIfOffered(Proc& slot, Proc operation) {
  if (operation) slot = operation;
}

// The record's operations over the defaults. The record's Circle is left out
// on purpose: the circle slot keeps its default.
void TakeOperations(const DrawingOperations& offered) {
  Hooks.DirectPutPixel = offered.DirectPutPixel;
  Hooks.PutPixel = offered.PutPixel;
  Hooks.GetPixel = offered.GetPixel;
  Hooks.SetRGBPalette = offered.SetRGBPalette;
  Hooks.GetRGBPalette = offered.GetRGBPalette;
  TakeIfOffered(Hooks.SetAllPalette, offered.SetAllPalette);
  TakeIfOffered(Hooks.ClearViewPort, offered.ClearViewPort);
  TakeIfOffered(Hooks.PutImage, offered.PutImage);
  TakeIfOffered(Hooks.GetImage, offered.GetImage);
  TakeIfOffered(Hooks.ImageSize, offered.ImageSize);
  TakeIfOffered(Hooks.GetScanLine, offered.GetScanLine);
  TakeIfOffered(Hooks.Line, offered.Line);
  TakeIfOffered(Hooks.InternalEllipse, offered.InternalEllipse);
  TakeIfOffered(Hooks.PatternLine, offered.PatternLine);
  TakeIfOffered(Hooks.HLine, offered.HLine);
  TakeIfOffered(Hooks.VLine, offered.VLine);
  TakeIfOffered(Hooks.SetVisualPage, offered.SetVisualPage);
  TakeIfOffered(Hooks.SetActivePage, offered.SetActivePage);
  TakeIfOffered(Hooks.OutTextXY, offered.OutTextXY);
  TakeIfOffered(Hooks.SetBkColor, offered.SetBkColor);
  TakeIfOffered(Hooks.GetBkColor, offered.GetBkColor);
}

}  // namespace

void InitVars() {
  DirectVideo = true;
  ArcCall = {};
  IntCurrentMode = 0;
  IntCurrentDriver = 0;
  IntCurrentNewDriver = 0;
  XAspect = 0;
  YAspect = 0;
  MaxX = 0;
  MaxY = 0;
  MaxColor = 0;
  PaletteSize = 0;
  HardwarePages = 0;
  DirectColor = false;
  DefaultHooks();
}

void InitGraph(int16_t& driver, int16_t& mode, const ShortString& path) {
  InitVars();
  SetDriverPath(path);
  if (!SaveVideoState) rtl::RunError(NoVideoStateSaver);
  DriverName = "WIN32GUI";
  if (driver == 0 || mode == DetectMode) {
    InternDetectGraph(driver, mode, true);
    if (_GraphResult == grNotDetected) return;
  } else {
    if (!SearchMode(driver, mode)) {
      _GraphResult = grInvalidMode;
      return;
    }
    _GraphResult = grOk;
  }
  StartFoundMode(driver, mode);
}

void SetGraphMode(int16_t mode) {
  PModeInfo record = FindModeRecord(mode);
  if (!record) {
    _GraphResult = grInvalidMode;
    return;
  }
  DefaultHooks();
  if (!OffersRequired(record->Operations)) {
    _GraphResult = grInvalidMode;
    return;
  }
  TakeOperations(record->Operations);

  IntCurrentMode = record->ModeNumber;
  IntCurrentDriver = record->DriverNumber;
  int16_t resolutionMode = NoNewDriver;
  Res2Mode(int32_t{record->MaxX} + 1, int32_t{record->MaxY} + 1, record->MaxColor, IntCurrentNewDriver, resolutionMode);
  XAspect = record->XAspect;
  YAspect = record->YAspect;
  MaxX = static_cast<int16_t>(record->MaxX);
  MaxY = static_cast<int16_t>(record->MaxY);
  HardwarePages = record->HardwarePages;
  MaxColor = record->MaxColor;
  PaletteSize = record->PaletteSize;
  DirectColor = record->DirectColor;

  if (!record->InitModeProc) {
    DefaultHooks();
    _GraphResult = grInvalidMode;
    return;
  }
  _GraphResult = grOk;
  record->InitModeProc();
  if (_GraphResult != grOk) {
    DefaultHooks();
    return;
  }
  IsGraphMode = true;
  Hooks.SetActivePage(0);
  Hooks.SetVisualPage(0);
  SetViewPort(0, 0, MaxX, MaxY, true);
  GraphDefaults();
}

}  // namespace graph
