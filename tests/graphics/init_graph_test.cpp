// InitGraph and SetGraphMode over fake mode records: lookup, detection, the
// driver path, the operations copied into the slots, and the failure paths.
#include <gtest/gtest.h>

#include "graphics/graph.h"
#include "runtime/system.h"
#include "tests/graphics/test_modes.h"
#include "tests/support/child_process.h"

namespace {

using namespace graph;
using test_modes::FakeMode;

void RegisterModes() {
  test_modes::ResetGraphics();
  AddMode(FakeMode(9, 2, 639, 479, 16));
  AddMode(FakeMode(10, 256, 639, 399, 256));
  AddMode(FakeMode(10, 257, 639, 479, 256));
  AddMode(FakeMode(10, 241, 1015, 740, 256));
}

TEST(InitGraph, DriverAndModeOpenThatModeWithTheRecordsOperations) {
  RegisterModes();
  int16_t driver = 10, mode = 257;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(GraphResult(), driver, mode, IsGraphMode), std::make_tuple(grOk, 10, 257, true));
  EXPECT_EQ(std::make_tuple(IntCurrentMode, IntCurrentDriver, IntCurrentNewDriver, GetMaxX(), GetMaxY()),
            std::make_tuple(257, 10, 15, 639, 479));
  EXPECT_EQ(std::string(DriverName.View()), "WIN32GUI");
  PutPixel(3, 4, 5);
  OutTextXY(1, 2, "x");
  EXPECT_EQ(test_modes::Log.back(), "OutTextXY 1 2 x");
  EXPECT_EQ(test_modes::Count("PutPixel 3 4 5") + test_modes::Count("Init"), 2);
  EXPECT_EQ(Circle, CircleDefault);  // never taken from the record
  EXPECT_EQ(SetAllPalette, SetAllPaletteDefault);
  mode = 256;  // a second call starts over; the video state is saved once only
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(GetMaxY(), test_modes::SavedVideoStates), std::make_tuple(399, 1));

  mode = 999;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(GraphResult(), PutPixel == PutPixelDefault), std::make_tuple(grInvalidMode, true));
  EXPECT_EQ(test_modes::Count("Init"), 2);
}

TEST(InitGraph, DetectionAndModeRequestsByDepth) {
  RegisterModes();
  int16_t driver = 0, mode = 0;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(driver, mode, GraphResult(), GraphResult()), std::make_tuple(15, 3, grOk, grOk));
  EXPECT_EQ(std::make_tuple(IntCurrentMode, GetMaxX(), GetMaxColor()), std::make_tuple(241, 1015, 255));
  SetGraphMode(30009);
  EXPECT_EQ(IntCurrentMode, 257);
  SetGraphMode(30000);
  EXPECT_EQ(IntCurrentMode, 241);
  SetGraphMode(30012);
  EXPECT_EQ(std::make_tuple(GraphResult(), IntCurrentMode), std::make_tuple(grInvalidMode, 241));
}

TEST(InitGraph, DriverPathGetsOneTrailingBackslash) {
  RegisterModes();
  const std::string cases[][2] = {
      {"", ""}, {"C:\\DRIVERS", "C:\\DRIVERS\\"}, {"C:\\DRIVERS\\", "C:\\DRIVERS\\"}, {std::string(255, 'p'), std::string(255, 'p')}};
  for (const auto& c : cases) {
    int16_t driver = 10, mode = 999;
    InitGraph(driver, mode, ShortString(c[0]));
    EXPECT_EQ(std::string(DriverPath.View()), c[1]);
  }
}

TEST(SetGraphMode, IncompleteRecordsAndFailedStartsLeaveTheDefaults) {
  test_modes::ResetGraphics();
  TModeInfo noPalette = FakeMode(10, 1, 639, 479, 256), noStart = FakeMode(10, 2, 799, 599, 256);
  noPalette.GetRGBPalette = nullptr;
  noStart.InitModeProc = nullptr;
  AddMode(noPalette);
  AddMode(noStart);
  AddMode(FakeMode(10, 3, 1023, 767, 256));
  test_modes::InitResult = grError;
  const std::tuple<int16_t, int16_t, int16_t> cases[] = {
      {1, grInvalidMode, 0}, {2, grInvalidMode, 799}, {3, grError, 1023}};
  for (const auto& [mode, result, maxX] : cases) {
    int16_t driver = 10, m = mode;
    InitGraph(driver, m, "");
    EXPECT_EQ(std::make_tuple(GraphResult(), GetMaxX(), IsGraphMode, PutPixel == PutPixelDefault),
              std::make_tuple(result, maxX, false, true))
        << mode;
  }
  EXPECT_EQ(test_modes::Log, (std::vector<std::string>{"Init"}));
}

const rtl::ModuleTable RunTimeOnly = {4,
                                      0,
                                      {{rtl::SystemInit, nullptr},
                                       {rtl::InternalResourcesInit, nullptr},
                                       {rtl::DosServicesInit, nullptr},
                                       {nullptr, rtl::ObjectsFinal}}};
void (*ChildBody)() = nullptr;

testing_support::ChildResult RunProgram(void (*body)()) {
  ChildBody = body;
  return testing_support::RunInChild([] {
    rtl::ProcessEntry(RunTimeOnly, [] {
      rtl::InitializeUnits();
      RegisterModes();
      int16_t driver = 10, mode = 999;
      InitGraph(driver, mode, "");
      ChildBody();
      rtl::WriteShortStr(0, rtl::StdOut, "went on");
      rtl::DoExit();
    });
  });
}

TEST(NotInGraphicsMode, PixelAndPaletteDefaultsEndWithCodeOne) {
  void (*const operations[])() = {[] { PutPixel(1, 1, 15); }, [] { DirectPutPixel(0, 0); }, [] { GetPixel(0, 0); },
                                  [] { SetRGBPalette(0, 1, 2, 3); },
                                  [] {
                                    int16_t r, g, b;
                                    GetRGBPalette(0, r, g, b);
                                  }};
  for (auto operation : operations) {
    auto r = RunProgram(operation);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)\r\n");
    EXPECT_EQ(r.out, "");
  }
  auto r = RunProgram([] {});
  EXPECT_EQ(std::make_tuple(r.exitCode, r.out),
            std::make_tuple(0, "went on"));  // a failed InitGraph alone ends nothing
  r = RunProgram([] {
    SaveVideoState = nullptr;
    int16_t driver = 10, mode = 257;
    InitGraph(driver, mode, "");
  });
  EXPECT_EQ(r.exitCode, 216);
  EXPECT_EQ(r.out.rfind("Runtime error 216 at $", 0), 0u) << r.out;
}

}  // namespace
