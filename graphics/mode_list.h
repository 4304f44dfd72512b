// Mode records, the two mode lists, and their lookup.
#pragma once

#include <cstdint>

#include "graphics/drawing_operations.h"

namespace graph {

struct TModeInfo;
using PModeInfo = TModeInfo*;
using InitModeProcType = void (*)();

struct TModeInfo {
  int16_t DriverNumber;
  int16_t ModeNumber;
  int16_t InternModeNumber;
  int32_t MaxColor;
  int32_t PaletteSize;
  uint16_t XAspect, YAspect;
  uint16_t MaxX, MaxY;
  bool DirectColor;
  uint8_t HardwarePages;
  struct {
    uint8_t length;
    char chars[18];
  } ModeName;
  DrawingOperations Operations;  // empty where the mode does not provide one
  InitModeProcType InitModeProc;
  PModeInfo Next;
};

struct ModeRange {
  int16_t Lo, Hi;
};

extern PModeInfo ModeList;
struct NewModeListType {
  PModeInfo Modes[22];  // colour-depth drivers 11 to 21
  ModeRange LoHi[22];
};
extern NewModeListType NewModeList;

// Colour-depth driver numbers and the special request values.
constexpr int16_t LowNewDriver = 11;
constexpr int16_t HighNewDriver = 21;
constexpr int16_t NoNewDriver = 32767;
constexpr int16_t DetectMode = 30000;
constexpr int16_t LowestMode = -32768;
constexpr int16_t HighestMode = -32767;

inline bool IsNewDriver(int16_t driver) {
  return driver >= LowNewDriver && driver <= HighNewDriver;
}

struct ResolutionType {
  int32_t Width, Height;
};
constexpr int16_t FirstResolutionMode = 30001;
constexpr int16_t LastResolutionMode = 30015;
extern const ResolutionType Resolutions[15];  // modes 30001 to 30015

extern bool FirstCallOfInitGraph;
extern ShortString DriverPath;

void InitMode(TModeInfo& mode);
void AddMode(const TModeInfo& mode);
PModeInfo SearchMode(int16_t driver, int16_t& mode);
void GetModeRange(int16_t driver, int16_t& lowest, int16_t& highest);
void Res2Mode(int32_t width, int32_t height, int32_t colors, int16_t& driver, int16_t& mode);
bool Mode2Res(int16_t mode, int32_t& width, int32_t& height);
void InternDetectGraph(int16_t& driver, int16_t& mode, bool fromInitGraph);
void InitVars();
// Empties both lists without releasing anything (start-up), and releases every node (exit).
void ClearModeLists();
void FreeModeLists();

}  // namespace graph
