#include "tests/graphics/test_modes.h"

#include <gtest/gtest.h>

#include "app/graphics_start.h"
#include "runtime/system.h"

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

rtl::Procedure ObserverSave;
void (*Body)() = nullptr;

// Installed before the graphics start-up, so it runs after GraphExitProc.
void ReportAtExit() {
  rtl::ExitProc = ObserverSave;
  rtl::WriteShortStr(0, rtl::StdOut, graph::IsGraphMode ? "open" : "closed");
}

const rtl::ModuleTable WithGraphics = {6,
                                       0,
                                       {{rtl::SystemInit, nullptr},
                                        {rtl::InternalResourcesInit, nullptr},
                                        {rtl::DosServicesInit, nullptr},
                                        {nullptr, rtl::ObjectsFinal},
                                        {[] { ObserverSave = rtl::ExitProc, rtl::ExitProc = ReportAtExit; }, nullptr},
                                        {app::GraphicsInit, nullptr}}};

}  // namespace

graph::TModeInfo FakeMode(int16_t driver, int16_t mode, uint16_t maxX, uint16_t maxY, int32_t colors) {
  graph::TModeInfo m;
  graph::InitMode(m);
  m.DriverNumber = driver;
  m.ModeNumber = mode;
  m.MaxX = maxX;
  m.MaxY = maxY;
  m.MaxColor = m.PaletteSize = colors;
  m.Operations.DirectPutPixel = [](int16_t, int16_t) {};
  m.Operations.PutPixel = [](int16_t x, int16_t y, uint16_t c) { Record("PutPixel", x, y, c); };
  m.Operations.GetPixel = [](int16_t, int16_t) -> uint16_t { return 0; };
  m.Operations.SetRGBPalette = [](int16_t n, int16_t r, int16_t g, int16_t b) { Palette[n] = {r, g, b}; };
  m.Operations.GetRGBPalette = [](int16_t n, int16_t& r, int16_t& g, int16_t& b) {
    r = Palette[n].Red, g = Palette[n].Green, b = Palette[n].Blue;
  };
  m.Operations.SetActivePage = [](uint16_t page) { Record("SetActivePage", page); };
  m.Operations.SetVisualPage = [](uint16_t page) { Record("SetVisualPage", page); };
  m.Operations.Circle = [](int16_t, int16_t, uint16_t) {};
  m.InitModeProc = [] { Record("Init"), graph::_GraphResult = InitResult; };
  m.Operations.OutTextXY = [](int16_t x, int16_t y, const graph::ShortString& text) {
    Record("OutTextXY", x, y), Log.back() += " " + std::string(text.View());
  };
  return m;
}

void ResetGraphics() {
  graph::FreeModeLists();      // releases what an earlier step of the test registered
  graph::IsGraphMode = false;  // as the graphics start-up leaves it; InitGraph never clears it
  graph::SaveVideoState = [] { ++SavedVideoStates; };
  Log.clear();
}

void RegisterModes() {
  ResetGraphics();
  graph::AddMode(FakeMode(9, 2, 639, 479, 16));
  graph::AddMode(FakeMode(9, 0, 639, 199, 16));
  graph::AddMode(FakeMode(9, 1, 639, 349, 16));
  const int16_t sizes[][3] = {{256, 639, 399},   {257, 639, 479},  {259, 799, 599}, {261, 1023, 767},
                              {263, 1279, 1023}, {241, 1015, 740}, {246, 1279, 991}};
  for (const auto& [mode, maxX, maxY] : sizes) graph::AddMode(FakeMode(10, mode, maxX, maxY, 256));
}

void OpenFakeMode(int32_t colors) {
  ResetGraphics();
  graph::AddMode(FakeMode(10, 257, 639, 479, colors));
  int16_t driver = 10, mode = 257;
  graph::InitGraph(driver, mode, "");
  ASSERT_EQ(graph::GraphResult(), graph::grOk);
  Log.clear();
}

testing_support::ChildResult RunProgram(void (*body)()) {
  Body = body;
  return testing_support::RunInChild([] {
    rtl::ProcessEntry(WithGraphics, [] {
      rtl::InitializeUnits();
      Body();
      rtl::DoExit();
    });
  });
}

}  // namespace test_modes
