// Opening graphics: resetting the mode variables, finding the mode, and setting it.
#include "graphics/graph.h"
#include "runtime/system.h"

namespace graph {

bool FirstCallOfInitGraph = true;
ShortString DriverPath = ".";

namespace {

constexpr uint16_t NoVideoStateSaver = 216;

bool IsNewDriver(int16_t driver) {
  return driver >= LowNewDriver && driver <= HighNewDriver;
}

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

// A required operation missing from the record leaves the defaults in place.
template <typename Proc>
bool CopyRequired(Proc& slot, Proc operation) {
  if (!operation) {
    DefaultHooks();
    _GraphResult = grInvalidMode;
    return false;
  }
  slot = operation;
  return true;
}

template <typename Proc>
void CopyOptional(Proc& slot, Proc operation) {
  if (operation) slot = operation;
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
  if (!CopyRequired(DirectPutPixel, record->DirectPutPixel) || !CopyRequired(PutPixel, record->PutPixel) ||
      !CopyRequired(GetPixel, record->GetPixel) || !CopyRequired(SetRGBPalette, record->SetRGBPalette) ||
      !CopyRequired(GetRGBPalette, record->GetRGBPalette))
    return;
  CopyOptional(SetAllPalette, record->SetAllPalette);
  CopyOptional(ClearViewPort, record->ClearViewPort);
  CopyOptional(PutImage, record->PutImage);
  CopyOptional(GetImage, record->GetImage);
  CopyOptional(ImageSize, record->ImageSize);
  CopyOptional(GetScanLine, record->GetScanLine);
  CopyOptional(Line, record->Line);
  CopyOptional(InternalEllipse, record->InternalEllipse);
  CopyOptional(PatternLine, record->PatternLine);
  CopyOptional(HLine, record->HLine);
  CopyOptional(VLine, record->VLine);
  CopyOptional(SetVisualPage, record->SetVisualPage);
  CopyOptional(SetActivePage, record->SetActivePage);
  CopyOptional(OutTextXY, record->OutTextXY);
  CopyOptional(SetBkColor, record->SetBkColor);
  CopyOptional(GetBkColor, record->GetBkColor);
  // The record's Circle is left out on purpose: the circle slot keeps its default.

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
  SetActivePage(0);
  SetVisualPage(0);
  SetViewPort(0, 0, MaxX, MaxY, true);
  GraphDefaults();
}

}  // namespace graph
