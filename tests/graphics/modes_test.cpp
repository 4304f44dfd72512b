// The two mode lists and their lookup; InitGraph and SetGraphMode over fake
// mode records: detection, the driver path, the operations copied into the
// slots, and the failure paths.
#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/graph.h"
#include "tests/graphics/test_modes.h"

namespace {

using namespace graph;
using test_modes::FakeMode;

// The mode numbers along a list, or the internal ones.
std::vector<int> Modes(PModeInfo node, bool internal = false) {
  std::vector<int> modes;
  for (; node; node = node->Next) modes.push_back(internal ? node->InternModeNumber : node->ModeNumber);
  return modes;
}

TEST(AddMode, SortsBySizeReplacesEqualSizesAndKeepsRegistrationOrder) {
  test_modes::ResetGraphics();
  AddMode(FakeMode(9, 2, 639, 479, 16));
  AddMode(FakeMode(9, 0, 639, 199, 16));
  AddMode(FakeMode(9, 1, 639, 349, 16));
  EXPECT_EQ(Modes(NewModeList.Modes[13]), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Modes(NewModeList.Modes[13], true), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(std::make_tuple(NewModeList.LoHi[13].Lo, NewModeList.LoHi[13].Hi), std::make_tuple(1, 3));
  AddMode(FakeMode(10, 241, 639, 349, 16));  // the same size as mode 1: replaces it there
  AddMode(FakeMode(10, 500, 1023, 767, 8));  // no colour depth has 8 colours
  EXPECT_EQ(Modes(NewModeList.Modes[13]), (std::vector<int>{0, 241, 2}));
  EXPECT_EQ(Modes(ModeList), (std::vector<int>{2, 0, 1, 241, 500}));
  for (int16_t d = LowNewDriver; d <= HighNewDriver; ++d) EXPECT_EQ(NewModeList.Modes[d] == nullptr, d != 13) << d;
}

// The driver's mode number of what SearchMode finds (-1 for nothing) and the mode it leaves.
std::tuple<int, int> Search(int16_t driver, int16_t mode) {
  PModeInfo found = SearchMode(driver, mode);
  return {found ? found->ModeNumber : -1, mode};
}

TEST(SearchMode, ByResolutionInternalNumberEndsAndDriverNumbering) {
  test_modes::RegisterModes();
  // Colour depths by resolution (640 x 480, 1600 x 1200), internal number and
  // ends; other drivers by their own numbers and the ends of their first run.
  constexpr int16_t Lo = LowestMode, Hi = HighestMode;
  const std::tuple<int16_t, int16_t, int, int> cases[] = {
      {15, 30009, 257, 30009}, {15, 30014, -1, 30014}, {15, 4, 241, 4},    {15, 8, -1, 8},      {15, Lo, 256, 1},
      {15, Hi, 263, 7},        {12, Hi, -1, -1},       {12, 1, -1, 1},     {10, 257, 257, 257}, {10, 2, -1, 2},
      {9, Lo, 2, 2},           {9, Hi, 1, 1},          {10, Hi, 246, 246}, {7, Hi, -1, Hi}};
  for (const auto& [driver, mode, found, left] : cases)
    EXPECT_EQ(Search(driver, mode), std::make_tuple(found, left)) << driver << " " << mode;
  const std::tuple<int16_t, int, int> ranges[] = {{12, -1, -1}, {15, 1, 7}, {13, 1, 3}, {10, 256, 246}};
  for (const auto& [driver, low, high] : ranges) {
    int16_t lo, hi;
    GetModeRange(driver, lo, hi);
    EXPECT_EQ(std::make_tuple(lo, hi), std::make_tuple(low, high)) << driver;
  }
}

TEST(InitGraph, DriverAndModeOpenThatModeWithTheRecordsOperations) {
  test_modes::RegisterModes();
  int16_t driver = 10, mode = 257;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(GraphResult(), driver, mode, IsGraphMode), std::make_tuple(grOk, 10, 257, true));
  EXPECT_EQ(std::make_tuple(IntCurrentMode, IntCurrentNewDriver, GetMaxX(), GetMaxY()),
            std::make_tuple(257, 15, 639, 479));
  Hooks.PutPixel(3, 4, 5);
  Hooks.OutTextXY(1, 2, "x");
  EXPECT_EQ(test_modes::Log, (std::vector<std::string>{"Init", "SetActivePage 0", "SetVisualPage 0", "PutPixel 3 4 5",
                                                       "OutTextXY 1 2 x"}));
  EXPECT_EQ(Hooks.Circle, CircleDefault);  // never taken from the record
  EXPECT_EQ(Hooks.SetAllPalette, SetAllPaletteDefault);
  mode = 256;  // a second call starts over; the video state is saved once only
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(GetMaxY(), test_modes::SavedVideoStates), std::make_tuple(399, 1));
  mode = 999;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(GraphResult(), Hooks.PutPixel == PutPixelDefault), std::make_tuple(grInvalidMode, true));
  EXPECT_EQ(std::count(test_modes::Log.begin(), test_modes::Log.end(), "Init"), 2);
  // The driver path gets one trailing backslash, if there is room.
  const std::string full(255, 'p');
  const std::string paths[][2] = {{"", ""}, {"C:\\DRV", "C:\\DRV\\"}, {"C:\\DRV\\", "C:\\DRV\\"}, {full, full}};
  for (const auto& [given, kept] : paths) {
    InitGraph(driver, mode, ShortString(given));
    EXPECT_EQ(std::string(DriverPath.View()), kept);
  }
}

TEST(InitGraph, DetectionAndModeRequestsByDepth) {
  test_modes::RegisterModes();
  // Detection takes the largest mode of the last colour depth with modes.
  int16_t driver = 0, mode = 0;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(driver, mode, GraphResult(), IntCurrentMode, GetMaxColor()),
            std::make_tuple(15, 7, grOk, 263, 255));
  SetGraphMode(30009);  // 640 x 480 of that depth
  EXPECT_EQ(IntCurrentMode, 257);
  SetGraphMode(30000);
  EXPECT_EQ(std::make_tuple(GraphResult(), IntCurrentMode), std::make_tuple(grOk, 263));
  SetGraphMode(30014);
  EXPECT_EQ(std::make_tuple(GraphResult(), IntCurrentMode), std::make_tuple(grInvalidMode, 263));
  // A depth named with the detection request is searched alone.
  driver = 13, mode = DetectMode;
  InitGraph(driver, mode, "");
  EXPECT_EQ(std::make_tuple(driver, mode, GraphResult(), IntCurrentMode), std::make_tuple(13, 3, grOk, 2));
  FreeModeLists();
  driver = 0;
  InitGraph(driver, mode, "");
  EXPECT_EQ(GraphResult(), grNotDetected);
}

TEST(SetGraphMode, IncompleteRecordsAndFailedStartsLeaveTheDefaults) {
  test_modes::ResetGraphics();
  TModeInfo records[] = {FakeMode(10, 1, 639, 479, 256), FakeMode(10, 2, 799, 599, 256),
                         FakeMode(10, 3, 1023, 767, 256)};
  records[0].Operations.GetRGBPalette = nullptr;
  records[1].InitModeProc = nullptr;
  for (const TModeInfo& record : records) AddMode(record);
  test_modes::InitResult = grError;  // the start of the third fails
  const std::tuple<int16_t, int16_t, int16_t> cases[] = {
      {1, grInvalidMode, 0}, {2, grInvalidMode, 799}, {3, grError, 1023}};
  for (const auto& [mode, result, maxX] : cases) {
    int16_t driver = 10, m = mode;
    InitGraph(driver, m, "");
    EXPECT_EQ(std::make_tuple(GraphResult(), GetMaxX(), IsGraphMode, Hooks.PutPixel == PutPixelDefault),
              std::make_tuple(result, maxX, false, true))
        << mode;
  }
  EXPECT_EQ(test_modes::Log, (std::vector<std::string>{"Init"}));
}

TEST(NotInGraphicsMode, PixelAndPaletteDefaultsEndWithCodeOne) {
  static void (*operation)();
  static int16_t r, g, b;
  for (auto o : {+[] { Hooks.PutPixel(1, 1, 15); }, +[] { Hooks.DirectPutPixel(0, 0); }, +[] { Hooks.GetPixel(0, 0); },
                 +[] { Hooks.SetRGBPalette(0, 1, 2, 3); }, +[] { Hooks.GetRGBPalette(0, r, g, b); }}) {
    operation = o;
    auto result = test_modes::RunProgram([] { DefaultHooks(), operation(); });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)\n");
  }
}

}  // namespace
