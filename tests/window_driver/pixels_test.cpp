// Single pixels on both drawing targets: clipping to the viewport, reading back
// as the nearest palette entry, the write modes, and calls that come too late.
#include <gtest/gtest.h>

#include <thread>

#include "tests/window_driver/memory_targets.h"

namespace {

using namespace memory_targets;

constexpr win::COLORREF kGrey = RGB(168, 168, 168);

TEST(PutPixel, DrawsThePaletteColourOnTheTargetsInsideTheViewport) {
  SetUpMode(640, 480, 256);
  graph::CurrentWriteMode = 1;  // not consulted
  graph::PutPixel16Win32GUI(0, 0, 7);
  graph::PutPixel16Win32GUI(0, 0, 7);
  EXPECT_TRUE(BothAre(0, 0, kGrey));
  // The full-screen viewport of a 640 x 480 mode ends at row 479 and column 639.
  for (int16_t y : {479, 480}) graph::PutPixel16Win32GUI(5, y, 7);
  for (int16_t x : {639, 640, -1}) graph::PutPixel16Win32GUI(x, 8, 7);
  EXPECT_TRUE(BothAre(5, 479, kGrey));
  EXPECT_TRUE(BothAre(639, 8, kGrey));
  EXPECT_TRUE(BothAre(0, 8, 0));

  // Viewport coordinates, both bounds inclusive; without clipping only translated.
  SetViewPort(100, 50, 109, 59, true);
  graph::PutPixel16Win32GUI(9, 9, 2);
  graph::PutPixel16Win32GUI(10, 0, 3);
  EXPECT_TRUE(BothAre(109, 59, PaletteRGB(2)));
  EXPECT_TRUE(BothAre(110, 50, 0));
  graph::ClipPixels = false;
  graph::PutPixel16Win32GUI(10, 0, 3);
  EXPECT_TRUE(BothAre(110, 50, PaletteRGB(3)));

  // Components give their low eight bits; only the flagged targets are drawn.
  graph::Pal[5] = {300, -2, 1000};
  graph::DrawToScreen = false;
  graph::PutPixel16Win32GUI(0, 0, 5);
  EXPECT_EQ(BitmapPixel(100, 50), RGB(44, 254, 232));
  EXPECT_EQ(WindowPixel(100, 50), 0u);
}

TEST(GetPixel, ReadsTheBitmapAsTheNearestPaletteEntryLowestFirst) {
  SetUpMode(640, 480, 256);
  graph::PutPixel16Win32GUI(1, 1, 15);
  graph::PutPixel16Win32GUI(3, 3, 200);
  EXPECT_EQ(graph::GetPixel16Win32GUI(1, 1), 15);
  EXPECT_EQ(graph::GetPixel16Win32GUI(3, 3), 200);
  // Black is entry 0, though 16 and 248 to 255 are black too.
  EXPECT_EQ(graph::GetPixel16Win32GUI(2, 2), 0);
  // Always the bitmap, whatever the window shows.
  win::SetPixelV(graph::WinDC, 4, 4, RGB(252, 252, 252));
  EXPECT_EQ(graph::GetPixel16Win32GUI(4, 4), 0);
  // (250, 250, 250) is as near to entry 15 as to entry 31.
  win::SetPixelV(graph::BitmapDC, 5, 5, RGB(250, 250, 250));
  EXPECT_EQ(graph::GetPixel16Win32GUI(5, 5), 15);

  graph::Pal[40] = {10, 10, 10};
  graph::Pal[41] = {30, 10, 10};
  graph::Pal[0] = {100, 100, 100};
  win::SetPixelV(graph::BitmapDC, 6, 6, RGB(20, 10, 10));
  EXPECT_EQ(graph::GetPixel16Win32GUI(6, 6), 40);
  graph::Pal[40] = {10, 10, 11};
  EXPECT_EQ(graph::GetPixel16Win32GUI(6, 6), 41);

  // A clipped point reads 0 and reports nothing.
  SetViewPort(0, 0, 2, 2, true);
  EXPECT_EQ(graph::GetPixel16Win32GUI(3, 3), 0);
  EXPECT_EQ(graph::_GraphResult, 0);
}

TEST(GetPaletteEntry, SignExtendsTheComponentsAndZeroExtendsTheArguments) {
  SetUpMode();
  graph::Pal[0] = {10, 0, 0};
  graph::Pal[1] = {-5, 0, 0};
  EXPECT_EQ(graph::GetPaletteEntry(0, 0, 0), 1);
  graph::Pal[2] = {-1, 0, 0};
  graph::Pal[3] = {255, 0, 0};
  EXPECT_EQ(graph::GetPaletteEntry(65535, 0, 0), 3);
  // Only the MaxColor entries take part.
  graph::Pal[15] = {7, 7, 7};
  graph::MaxColor = 15;
  EXPECT_NE(graph::GetPaletteEntry(7, 7, 7), 15);
}

TEST(DirectPutPixel, CombinesWithTheWindowPixelInTheWriteModes) {
  SetUpMode();
  graph::CurrentColor = 7;
  const win::COLORREF old = RGB(0x0F, 0xF0, 0x00);
  struct Case {
    int16_t mode;
    win::COLORREF expected;
  } cases[] = {{0, kGrey}, {1, old ^ kGrey}, {2, old | kGrey}, {3, old & kGrey}, {9, kGrey}, {-1, kGrey}};
  // Absolute coordinates: the viewport does not apply.
  SetViewPort(100, 100, 109, 109, true);
  int16_t x = 10;
  for (const Case& c : cases) {
    win::SetPixelV(graph::WinDC, x, 20, old);
    win::SetPixelV(graph::BitmapDC, x, 20, RGB(1, 2, 3));
    graph::CurrentWriteMode = c.mode;
    graph::DirectPutPixel16Win32GUI(x, 20);
    // The bitmap gets the window's combination, not its own.
    EXPECT_TRUE(BothAre(x++, 20, c.expected)) << "mode " << c.mode;
  }

  // The not mode: the complement index 65535 - i wraps into the palette, to
  // entry MaxColor - 1 - i.
  graph::CurrentWriteMode = 4;
  graph::DirectPutPixel16Win32GUI(0, 0);
  EXPECT_TRUE(BothAre(0, 0, PaletteRGB(8)));
  delete[] graph::Pal;
  SetUpMode(640, 480, 256);
  graph::CurrentWriteMode = 4;
  graph::CurrentColor = 255 - 40;
  graph::DirectPutPixel16Win32GUI(2, 0);
  EXPECT_TRUE(BothAre(2, 0, PaletteRGB(40)));
}

TEST(LateDrawing, NothingIsDrawnOnceTheWindowIsGone) {
  SetUpMode();
  __atomic_store_n(&graph::GraphRunning, false, __ATOMIC_RELEASE);
  graph::PutPixel16Win32GUI(0, 0, 15);
  graph::DirectPutPixel16Win32GUI(1, 0);
  graph::HLine16Win32GUI(0, 50, 1);
  graph::VLine16Win32GUI(2, 0, 50);
  graph::CurrentWriteMode = 1;
  graph::DirectPutPixel16Win32GUI(3, 0);
  graph::HLine16Win32GUI(0, 50, 4);
  EXPECT_TRUE(Untouched(0, 0, 50, 50, 0));
  EXPECT_EQ(graph::Pens[15], nullptr);
  EXPECT_EQ(graph::_GraphResult, 0);
  EXPECT_EQ(graph::GetPixel16Win32GUI(0, 0), 0);
  EXPECT_EQ(graph::_GraphResult, graph::grError);
}

// The window thread's destruction holds the lock while the drawing call has
// already found the window running; the call must find it gone under the lock.
void DestroyWhileWaiting(void (*draw)()) {
  bool held = false;
  std::thread window([&held] {
    win::EnterCriticalSection(&graph::GraphDrawing);
    __atomic_store_n(&held, true, __ATOMIC_RELEASE);
    win::Sleep(100);  // the drawing call passes its first test and waits for the lock
    __atomic_store_n(&graph::GraphRunning, false, __ATOMIC_RELEASE);
    win::LeaveCriticalSection(&graph::GraphDrawing);
  });
  while (!__atomic_load_n(&held, __ATOMIC_ACQUIRE)) win::Sleep(1);
  draw();
  window.join();
  __atomic_store_n(&graph::GraphRunning, true, __ATOMIC_RELEASE);
}

TEST(LateDrawing, ACallWaitingForTheLockDrawsNothingWhenTheWindowWentMeanwhile) {
  SetUpMode();
  graph::PutPixel16Win32GUI(9, 9, 15);
  DestroyWhileWaiting([] { graph::PutPixel16Win32GUI(0, 0, 15); });
  DestroyWhileWaiting([] { graph::DirectPutPixel16Win32GUI(1, 0); });
  DestroyWhileWaiting([] { graph::HLine16Win32GUI(0, 8, 1); });
  DestroyWhileWaiting([] { graph::OutTextXYWin32GUI(0, 2, "\xDB"); });
  EXPECT_TRUE(Untouched(0, 0, 8, 8, 0));
  DestroyWhileWaiting([] { EXPECT_EQ(graph::GetPixel16Win32GUI(9, 9), 0); });
  EXPECT_EQ(graph::_GraphResult, graph::grError);
}

}  // namespace
