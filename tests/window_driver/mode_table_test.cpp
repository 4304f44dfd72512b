// The driver's mode table on screens of several sizes, as the graphics
// interface's start-up registers it and detection then chooses from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/user/memory_display.h"

namespace {

using win::stand_in::DisplayMetrics;

struct Registered {
  int16_t driver, mode;
  std::string name;
  int32_t colors;
  uint16_t maxX, maxY;
};

DisplayMetrics Screen(int width, int height, int fullWidth, int fullHeight) {
  DisplayMetrics metrics;
  metrics.screenWidth = width;
  metrics.screenHeight = height;
  metrics.frameWidth = 4;
  metrics.frameHeight = 4;
  metrics.captionHeight = 19;
  metrics.fullScreenWidth = fullWidth;
  metrics.fullScreenHeight = fullHeight;
  return metrics;
}

std::vector<Registered> StartOn(const DisplayMetrics& metrics) {
  win::stand_in::UseMemoryDisplay(metrics);
  graph::InitializeGraph();
  std::vector<Registered> list;
  for (graph::PModeInfo m = graph::ModeList; m != nullptr; m = m->Next)
    list.push_back({m->DriverNumber, m->ModeNumber, std::string(m->ModeName.chars, m->ModeName.length), m->MaxColor,
                    m->MaxX, m->MaxY});
  return list;
}

std::vector<int16_t> ModeNumbers(const std::vector<Registered>& list) {
  std::vector<int16_t> numbers;
  for (const Registered& r : list) numbers.push_back(r.mode);
  return numbers;
}

// (MaxX, MaxY, mode number) of a colour-depth list, in its order.
std::vector<std::vector<int>> DepthList(int16_t depthDriver) {
  std::vector<std::vector<int>> nodes;
  for (graph::PModeInfo m = graph::NewModeList.Modes[depthDriver]; m != nullptr; m = m->Next)
    nodes.push_back({m->MaxX, m->MaxY, m->ModeNumber});
  return nodes;
}

TEST(ModeTable, ScreenOf1024RegistersWhatFitsThenTheWindowSizedModes) {
  // W = 1016, H = 741: 800 x 600 fits, 1024 x 768 does not.
  auto list = StartOn(Screen(1024, 768, 1024, 749));
  EXPECT_EQ(ModeNumbers(list), (std::vector<int16_t>{2, 0, 1, 256, 257, 258, 259, 240, 241, 245, 246}));

  EXPECT_EQ(list[0].name, "640 x 480 x 16 Win");
  EXPECT_EQ(list[0].driver, 9);
  EXPECT_EQ(list[3].name, "640 x 400 x 256 Wi");
  EXPECT_EQ(list[3].driver, 10);
  EXPECT_EQ(list[9].name, "Maximized Window x");
  EXPECT_EQ(list[10].name, "Maximized Window x");
  EXPECT_EQ(list[7].name, "Largest Window x 1");
  for (const Registered& r : list) EXPECT_LE(r.name.size(), 18u);

  EXPECT_EQ(list[7].maxX, 1015);
  EXPECT_EQ(list[7].maxY, 740);
  EXPECT_EQ(list[8].colors, 256);
  EXPECT_EQ(list[10].maxX, 1023);
  EXPECT_EQ(list[10].maxY, 748);
  EXPECT_EQ(list[5].colors, 16);  // "800 x 600 x 16" is driver 10 but 16 colours
  EXPECT_EQ(list[5].driver, 10);

  // Every record carries the driver's operations and nothing else.
  for (graph::PModeInfo m = graph::ModeList; m != nullptr; m = m->Next) {
    EXPECT_EQ(m->DirectPutPixel, graph::DirectPutPixel16Win32GUI);
    EXPECT_EQ(m->PutPixel, graph::PutPixel16Win32GUI);
    EXPECT_EQ(m->GetPixel, graph::GetPixel16Win32GUI);
    EXPECT_EQ(m->HLine, graph::HLine16Win32GUI);
    EXPECT_EQ(m->VLine, graph::VLine16Win32GUI);
    EXPECT_EQ(m->SetRGBPalette, graph::SetRGBPaletteWin32GUI);
    EXPECT_EQ(m->GetRGBPalette, graph::GetRGBPaletteWin32GUI);
    EXPECT_EQ(m->SetVisualPage, graph::SetVisualWin32GUI);
    EXPECT_EQ(m->SetActivePage, graph::SetActiveWin32GUI);
    EXPECT_EQ(m->InitModeProc, graph::InitWin32GUI16Colors);
    EXPECT_EQ(m->OutTextXY, graph::OutTextXYWin32GUI);
    EXPECT_EQ(m->SetAllPalette, nullptr);
    EXPECT_EQ(m->ClearViewPort, nullptr);
    EXPECT_EQ(m->Line, nullptr);
    EXPECT_EQ(m->Circle, nullptr);
    EXPECT_EQ(m->SetBkColor, nullptr);
    EXPECT_FALSE(m->DirectColor);
    EXPECT_EQ(m->HardwarePages, 0);
    EXPECT_EQ(m->PaletteSize, m->MaxColor);
  }
  EXPECT_EQ(graph::ModeList->XAspect, 10000);
  EXPECT_EQ(graph::ModeList->Next->XAspect, 4500);
  EXPECT_EQ(graph::ModeList->Next->Next->XAspect, 7750);
  EXPECT_EQ(graph::ModeList->Next->Next->Next->XAspect, 8333);

  // The maximised window is the widest 256-colour mode: detection takes it.
  int16_t driver = 0, mode = 0;
  graph::InternDetectGraph(driver, mode, true);
  EXPECT_EQ(graph::_GraphResult, graph::grOk);
  EXPECT_EQ(driver, 15);
  std::vector<std::vector<int>> deep = DepthList(15);
  ASSERT_EQ(static_cast<int>(deep.size()), mode);
  EXPECT_EQ(deep.back(), (std::vector<int>{1023, 748, 246}));
}

TEST(ModeTable, NarrowScreenRegistersOnlyTheWindowSizedModes) {
  // W = 592 < 640, however tall the screen.
  auto list = StartOn(Screen(600, 800, 600, 780));
  EXPECT_EQ(ModeNumbers(list), (std::vector<int16_t>{240, 241, 245, 246}));
  EXPECT_EQ(list[0].maxX, 591);
  EXPECT_EQ(list[0].maxY, 772);
  EXPECT_EQ(list[3].maxX, 599);
  EXPECT_EQ(list[3].maxY, 779);
}

TEST(ModeTable, HeightBetween400And479LeavesOutThe480LineModes) {
  // W = 792, H = 433.
  auto list = StartOn(Screen(800, 460, 800, 441));
  EXPECT_EQ(ModeNumbers(list), (std::vector<int16_t>{0, 1, 256, 240, 241, 245, 246}));
  EXPECT_EQ(list[0].name, "640 x 200 x 16 Win");
  EXPECT_EQ(list[2].maxY, 399);
}

TEST(ModeTable, MaximisedSizeEqualToLargestReplacesItInTheColourList) {
  // FW x FH equal to W x H = 1016 x 741.
  auto list = StartOn(Screen(1024, 768, 1016, 741));
  EXPECT_EQ(list.size(), 11u);  // all kept in registration order
  std::vector<std::vector<int>> deep = DepthList(15);
  EXPECT_EQ(deep, (std::vector<std::vector<int>>{{639, 399, 256}, {639, 479, 257}, {799, 599, 259}, {1015, 740, 246}}));
  EXPECT_EQ(graph::NewModeList.LoHi[15].Lo, 1);
  EXPECT_EQ(graph::NewModeList.LoHi[15].Hi, 4);
  std::vector<std::vector<int>> sixteen = DepthList(13);
  EXPECT_EQ(sixteen.back(), (std::vector<int>{1015, 740, 245}));

  int16_t driver = 0, mode = 0;
  graph::InternDetectGraph(driver, mode, true);
  EXPECT_EQ(driver, 15);
  EXPECT_EQ(mode, 4);
}

TEST(ModeTable, WindowSizedModesWrapTo16Bits) {
  // W = 69992 and H = 5: the sizes wrap, the fixed rows do not fit in height.
  auto wide = StartOn(Screen(70000, 32, 70000, 70000));
  EXPECT_EQ(ModeNumbers(wide), (std::vector<int16_t>{240, 241, 245, 246}));
  EXPECT_EQ(wide[0].maxX, static_cast<uint16_t>(69991));
  EXPECT_EQ(wide[0].maxY, 4);
  EXPECT_EQ(wide[3].maxX, static_cast<uint16_t>(69999));
  EXPECT_EQ(wide[3].maxY, static_cast<uint16_t>(69999));
}

TEST(ModeTable, NegativeWindowSizesAreComparedSigned) {
  // Frames larger than the screen: W = -8, H = -27; the fixed rows never fit and
  // the window-sized rows keep the wrapped values.
  DisplayMetrics metrics = Screen(0, 0, 0, 0);
  auto list = StartOn(metrics);
  EXPECT_EQ(ModeNumbers(list), (std::vector<int16_t>{240, 241, 245, 246}));
  EXPECT_EQ(list[0].maxX, 65527);
  EXPECT_EQ(list[0].maxY, 65508);
  EXPECT_EQ(list[2].maxX, 65535);
}

TEST(ModeTable, OnlyTheFirstCallRegistersAndLaterCallsResetTheVideoStateHooks) {
  win::stand_in::UseMemoryDisplay(Screen(1024, 768, 1024, 749));
  graph::ClearModeLists();
  EXPECT_EQ(graph::QueryAdapterInfo(), nullptr);  // the head as it was on entry
  graph::PModeInfo head = graph::ModeList;
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(graph::SaveVideoState, graph::SaveState);
  EXPECT_EQ(graph::RestoreVideoState, graph::RestoreState);
  size_t count = 0;
  for (graph::PModeInfo m = head; m != nullptr; m = m->Next) ++count;
  EXPECT_EQ(count, 11u);

  graph::SaveVideoState = nullptr;
  graph::RestoreVideoState = nullptr;
  EXPECT_EQ(graph::QueryAdapterInfo(), head);
  EXPECT_EQ(graph::ModeList, head);
  size_t after = 0;
  for (graph::PModeInfo m = head; m != nullptr; m = m->Next) ++after;
  EXPECT_EQ(after, count);
  EXPECT_EQ(graph::SaveVideoState, graph::SaveState);
  EXPECT_EQ(graph::RestoreVideoState, graph::RestoreState);
}

}  // namespace
