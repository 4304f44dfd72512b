#include "tests/graphics/test_modes.h"

#include <gtest/gtest.h>

namespace test_modes {

std::vector<std::string> Log;
graph::RGBRec Palette[256];
int16_t InitResult = graph::grOk;
int SavedVideoStates = 0;

namespace {

template <typename... Args>
void Record(const char* operation, Args... args) {
  std::string line = operation;
  ((line += " " + std::to_string(args)), ...);
  Log.push_back(line);
}

}  // namespace

graph::TModeInfo FakeMode(int16_t driver, int16_t mode, uint16_t maxX, uint16_t maxY, int32_t colors) {
  graph::TModeInfo m;
  graph::InitMode(m);
  m.DriverNumber = driver;
  m.ModeNumber = mode;
  m.MaxX = maxX;
  m.MaxY = maxY;
  m.MaxColor = m.PaletteSize = colors;
  m.XAspect = m.YAspect = 10000;
  m.DirectPutPixel = [](int16_t x, int16_t y) { Record("DirectPutPixel", x, y); };
  m.PutPixel = [](int16_t x, int16_t y, uint16_t c) { Record("PutPixel", x, y, c); };
  m.GetPixel = [](int16_t x, int16_t y) -> uint16_t { return Record("GetPixel", x, y), 0; };
  m.SetRGBPalette = [](int16_t n, int16_t r, int16_t g, int16_t b) { Palette[n] = {r, g, b}; };
  m.GetRGBPalette = [](int16_t n, int16_t& r, int16_t& g, int16_t& b) {
    r = Palette[n].Red, g = Palette[n].Green, b = Palette[n].Blue;
  };
  m.SetActivePage = [](uint16_t page) { Record("SetActivePage", page); };
  m.SetVisualPage = [](uint16_t page) { Record("SetVisualPage", page); };
  m.HLine = [](int16_t x1, int16_t x2, int16_t y) { Record("HLine", x1, x2, y, graph::CurrentColor); };
  m.Circle = [](int16_t x, int16_t y, uint16_t r) { Record("Circle", x, y, r); };
  m.InitModeProc = [] { Record("Init"), graph::_GraphResult = InitResult; };
  m.OutTextXY = [](int16_t x, int16_t y, const graph::ShortString& text) {
    Record("OutTextXY", x, y), Log.back() += " " + std::string(text.View());
  };
  return m;
}

void ResetGraphics() {
  graph::FreeModeLists();  // releases what an earlier step of the test registered
  graph::SaveVideoState = [] { ++SavedVideoStates; };
  Log.clear();
}

void OpenFakeMode(int32_t colors) {
  ResetGraphics();
  graph::AddMode(FakeMode(10, 257, 639, 479, colors));
  int16_t driver = 10, mode = 257;
  graph::InitGraph(driver, mode, "");
  ASSERT_EQ(graph::GraphResult(), graph::grOk);
  Log.clear();
}

int Count(const std::string& operation) {
  int n = 0;
  for (const std::string& line : Log) n += line.rfind(operation, 0) == 0;
  return n;
}

}  // namespace test_modes
