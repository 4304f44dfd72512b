// The driver's modes: every fixed size the screen can hold as a window, then
// the largest window and the maximised window, each in 16 and 256 colours.
#include <cstring>

#include "graphics/window_driver/win32gui.h"

namespace graph {

namespace {

struct ModeRow {
  bool registered;
  int16_t driver;
  int16_t mode;
  const char* name;
  int32_t colors;
  uint16_t maxX, maxY;
  uint16_t xAspect, yAspect;
};

constexpr int ModeRowCount = 15;

// width - 1 kept in 16 bits, as the record's fields hold it.
uint16_t LargestCoordinate(int32_t size) {
  return static_cast<uint16_t>(static_cast<uint32_t>(size) - 1u);
}

void SetModeName(TModeInfo& mode, const char* name) {
  size_t length = std::strlen(name);
  if (length > sizeof mode.ModeName.chars) length = sizeof mode.ModeName.chars;
  mode.ModeName.length = static_cast<uint8_t>(length);
  std::memcpy(mode.ModeName.chars, name, length);
}

}  // namespace

const GraphDriver Win32GUI = {QueryAdapterInfo, CloseGraph};

void SaveState() {}
void RestoreState() {}

void SetupWin32GUIDefault(TModeInfo& mode) {
  mode.Operations.DirectPutPixel = DirectPutPixel16Win32GUI;
  mode.Operations.PutPixel = PutPixel16Win32GUI;
  mode.Operations.GetPixel = GetPixel16Win32GUI;
  mode.Operations.HLine = HLine16Win32GUI;
  mode.Operations.VLine = VLine16Win32GUI;
  mode.Operations.SetRGBPalette = SetRGBPaletteWin32GUI;
  mode.Operations.GetRGBPalette = GetRGBPaletteWin32GUI;
  mode.Operations.SetVisualPage = SetVisualWin32GUI;
  mode.Operations.SetActivePage = SetActiveWin32GUI;
  mode.InitModeProc = InitWin32GUI16Colors;
  mode.Operations.OutTextXY = OutTextXYWin32GUI;
}

PModeInfo QueryAdapterInfo() {
  SaveVideoState = SaveState;
  RestoreVideoState = RestoreState;

  uint32_t screenWidth = static_cast<uint32_t>(win::GetSystemMetrics(SM_CXSCREEN));
  uint32_t frameWidth = static_cast<uint32_t>(win::GetSystemMetrics(SM_CXFRAME));
  uint32_t screenHeight = static_cast<uint32_t>(win::GetSystemMetrics(SM_CYSCREEN));
  uint32_t frameHeight = static_cast<uint32_t>(win::GetSystemMetrics(SM_CYFRAME));
  uint32_t captionHeight = static_cast<uint32_t>(win::GetSystemMetrics(SM_CYCAPTION));
  int32_t fullWidth = win::GetSystemMetrics(SM_CXFULLSCREEN);
  int32_t fullHeight = win::GetSystemMetrics(SM_CYFULLSCREEN);
  int32_t largestWidth = static_cast<int32_t>(screenWidth - 2u * frameWidth);
  int32_t largestHeight = static_cast<int32_t>(screenHeight - 2u * frameHeight - captionHeight);

  PModeInfo head = ModeList;
  if (head != nullptr) return head;

  auto fits = [&](int32_t width, int32_t height) { return largestWidth >= width && largestHeight >= height; };
  const uint16_t largestX = LargestCoordinate(largestWidth), largestY = LargestCoordinate(largestHeight);
  const uint16_t fullX = LargestCoordinate(fullWidth), fullY = LargestCoordinate(fullHeight);
  const ModeRow rows[ModeRowCount] = {
      {fits(640, 480), 9, 2, "640 x 480 x 16 Win32GUI", 16, 639, 479, 10000, 10000},
      {fits(640, 200), 9, 0, "640 x 200 x 16 Win32GUI", 16, 639, 199, 4500, 10000},
      {fits(640, 350), 9, 1, "640 x 350 x 16 Win32GUI", 16, 639, 349, 7750, 10000},
      {fits(640, 400), 10, 256, "640 x 400 x 256 Win32GUI", 256, 639, 399, 8333, 10000},
      {fits(640, 480), 10, 257, "640 x 480 x 256 Win32GUI", 256, 639, 479, 10000, 10000},
      {fits(800, 600), 10, 258, "800 x 600 x 16 Win32GUI", 16, 799, 599, 10000, 10000},
      {fits(800, 600), 10, 259, "800 x 600 x 256 Win32GUI", 256, 799, 599, 10000, 10000},
      {fits(1024, 768), 10, 260, "1024 x 768 x 16 Win32GUI", 16, 1023, 767, 10000, 10000},
      {fits(1024, 768), 10, 261, "1024 x 768 x 256 Win32GUI", 256, 1023, 767, 10000, 10000},
      {fits(1280, 1024), 10, 262, "1280 x 1024 x 16 Win32GUI", 16, 1279, 1023, 10000, 10000},
      {fits(1280, 1024), 10, 263, "1280 x 1024 x 256 Win32GUI", 256, 1279, 1023, 10000, 10000},
      {true, 10, 240, "Largest Window x 16", 16, largestX, largestY, 10000, 10000},
      {true, 10, 241, "Largest Window x 256", 256, largestX, largestY, 10000, 10000},
      {true, 10, 245, "Maximized Window x 16", 16, fullX, fullY, 10000, 10000},
      {true, 10, 246, "Maximized Window x 256", 256, fullX, fullY, 10000, 10000},
  };

  TModeInfo record;
  for (const ModeRow& row : rows) {
    if (!row.registered) continue;
    InitMode(record);
    record.DriverNumber = row.driver;
    record.HardwarePages = 0;
    record.ModeNumber = row.mode;
    SetModeName(record, row.name);
    record.MaxColor = row.colors;
    record.PaletteSize = row.colors;
    record.DirectColor = false;
    record.MaxX = row.maxX;
    record.MaxY = row.maxY;
    SetupWin32GUIDefault(record);
    record.XAspect = row.xAspect;
    record.YAspect = row.yAspect;
    AddMode(record);
  }
  return head;
}

}  // namespace graph
