// Horizontal and vertical spans: ends in either order, clipping to the
// viewport, short spans without a pen, the pen cache and palette changes, and
// the write modes.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/window_driver/memory_targets.h"

namespace {

using namespace memory_targets;

// Pixels from..to along row y (or column x) hold colour, their neighbours do not.
::testing::AssertionResult SpanIs(bool row, int at, int from, int to, win::COLORREF color) {
  auto pixel = [&](int p) { return row ? BothAre(p, at, color) : BothAre(at, p, color); };
  for (int p = from; p <= to; ++p) {
    if (!pixel(p)) return pixel(p);
  }
  if (pixel(from - 1) || pixel(to + 1)) return ::testing::AssertionFailure() << "drawn beyond " << from << ".." << to;
  return ::testing::AssertionSuccess();
}

TEST(Spans, CoverBothEndsInEitherOrderCutToTheViewport) {
  SetUpMode();
  graph::CurrentColor = 4;
  const win::COLORREF red = PaletteRGB(4);
  graph::HLine16Win32GUI(20, 10, 5);
  graph::VLine16Win32GUI(5, 30, 10);
  graph::HLine16Win32GUI(7, 7, 40);
  EXPECT_TRUE(SpanIs(true, 5, 10, 20, red));
  EXPECT_TRUE(SpanIs(false, 5, 10, 30, red));
  EXPECT_TRUE(SpanIs(true, 40, 7, 7, red));

  SetViewPort(100, 100, 199, 199, true);
  graph::HLine16Win32GUI(-5, 3, 0);
  graph::HLine16Win32GUI(95, 300, 99);
  graph::VLine16Win32GUI(50, -5, 3);
  graph::VLine16Win32GUI(60, 300, 95);
  EXPECT_TRUE(SpanIs(true, 100, 100, 103, red));
  EXPECT_TRUE(SpanIs(true, 199, 195, 199, red));
  EXPECT_TRUE(SpanIs(false, 150, 100, 103, red));
  EXPECT_TRUE(SpanIs(false, 160, 195, 199, red));
  // Entirely outside: nothing.
  graph::HLine16Win32GUI(0, 99, 100);
  graph::HLine16Win32GUI(-20, -1, 6);
  graph::VLine16Win32GUI(100, 0, 99);
  graph::VLine16Win32GUI(6, -20, -1);
  EXPECT_TRUE(Untouched(100, 200, 199, 200, 0));
  EXPECT_TRUE(Untouched(99, 100, 99, 199, 0));
  EXPECT_TRUE(Untouched(200, 100, 200, 199, 0));
  EXPECT_TRUE(Untouched(100, 99, 199, 99, 0));

  graph::ClipPixels = false;
  graph::HLine16Win32GUI(-10, 120, 150);
  EXPECT_TRUE(SpanIs(true, 250, 90, 220, red));
}

TEST(SpanPens, ThreePixelSpansNeedNoPenAndLongerOnesShareTheCachedOne) {
  SetUpMode(640, 480, 256);
  graph::CurrentColor = 3;
  graph::HLine16Win32GUI(10, 12, 0);
  graph::VLine16Win32GUI(10, 2, 4);
  EXPECT_EQ(graph::Pens[3], nullptr);
  EXPECT_TRUE(SpanIs(true, 0, 10, 12, PaletteRGB(3)));
  EXPECT_TRUE(SpanIs(false, 10, 2, 4, PaletteRGB(3)));

  graph::HLine16Win32GUI(10, 13, 10);
  win::HPEN cached = graph::Pens[3];
  ASSERT_NE(cached, nullptr);
  graph::VLine16Win32GUI(20, 10, 30);
  EXPECT_EQ(graph::Pens[3], cached);
  EXPECT_TRUE(SpanIs(true, 10, 10, 13, PaletteRGB(3)));
  EXPECT_TRUE(SpanIs(false, 20, 10, 30, PaletteRGB(3)));

  // Colours above 15 get a pen for one span and leave the cache alone.
  graph::CurrentColor = 100;
  graph::HLine16Win32GUI(0, 50, 40);
  EXPECT_TRUE(SpanIs(true, 40, 0, 50, PaletteRGB(100)));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(graph::Pens[i], i == 3 ? cached : nullptr) << i;
}

TEST(SpanPens, APaletteChangeRenewsThePenAndKeepsDrawnPixels) {
  SetUpMode();
  graph::CurrentColor = 3;
  graph::HLine16Win32GUI(0, 99, 0);
  win::HPEN old = graph::Pens[3];
  ASSERT_NE(old, nullptr);
  graph::SetRGBPaletteWin32GUI(3, 255, 0, 0);
  EXPECT_EQ(graph::Pens[3], nullptr);
  EXPECT_FALSE(win::DeleteObject(old)) << "the old pen is deleted";
  int16_t r = 0, g = 1, b = 1;
  graph::GetRGBPaletteWin32GUI(3, r, g, b);
  EXPECT_TRUE(r == 255 && g == 0 && b == 0);

  graph::HLine16Win32GUI(0, 99, 1);
  EXPECT_TRUE(SpanIs(true, 1, 0, 99, RGB(255, 0, 0)));
  EXPECT_TRUE(SpanIs(true, 0, 0, 99, PaletteRGB(3)));
}

TEST(PaletteEntries, AreStoredAsGivenAndRefusedOutsideThePalette) {
  SetUpMode(640, 480, 16);
  graph::SetRGBPaletteWin32GUI(15, -7, 300, 32767);
  int16_t r = 11, g = 22, b = 33;
  graph::GetRGBPaletteWin32GUI(15, r, g, b);
  EXPECT_TRUE(r == -7 && g == 300 && b == 32767);
  EXPECT_EQ(graph::_GraphResult, 0);

  for (int16_t n : {16, -1}) {
    graph::_GraphResult = 0;
    graph::SetRGBPaletteWin32GUI(n, 1, 2, 3);
    EXPECT_EQ(graph::_GraphResult, graph::grError) << n;
    graph::_GraphResult = 0;
    graph::GetRGBPaletteWin32GUI(n, r, g, b);
    EXPECT_EQ(graph::_GraphResult, graph::grError) << n;
  }
  EXPECT_TRUE(r == -7 && g == 300 && b == 32767);
  graph::_GraphResult = 0;
  graph::DirectColor = true;
  graph::SetRGBPaletteWin32GUI(1, 1, 2, 3);
  EXPECT_EQ(graph::_GraphResult, graph::grError);
  EXPECT_EQ(graph::Pal[1].Blue, 168);

  // After the graph is closed there is no palette to change.
  graph::DirectColor = false;
  delete[] graph::Pal;
  graph::Pal = nullptr;
  graph::_GraphResult = 0;
  graph::SetRGBPaletteWin32GUI(1, 1, 2, 3);
  EXPECT_EQ(graph::_GraphResult, graph::grError);
}

std::vector<std::pair<int16_t, int16_t>> hookCalls;
void CountingHook(int16_t x, int16_t y) {
  hookCalls.push_back({x, y});
}

TEST(SpanWriteModes, CombineWithTheWindowPixelByPixel) {
  SetUpMode();
  graph::CurrentColor = 7;
  const win::COLORREF grey = PaletteRGB(7), old = RGB(0x0F, 0xF0, 0x00);
  Paint(0, 0, 20, 20, old);
  graph::CurrentWriteMode = 1;
  graph::HLine16Win32GUI(0, 9, 0);
  graph::HLine16Win32GUI(5, 0, 0);
  EXPECT_TRUE(SpanIs(true, 0, 6, 9, old ^ grey));
  EXPECT_TRUE(BothAre(5, 0, old));
  graph::CurrentWriteMode = 2;
  graph::VLine16Win32GUI(3, 1, 10);
  EXPECT_TRUE(SpanIs(false, 3, 1, 10, old | grey));
  graph::CurrentWriteMode = 3;
  graph::HLine16Win32GUI(0, 1, 15);
  EXPECT_TRUE(BothAre(1, 15, old & grey));

  // The not mode's complement index lies beyond the palette and wraps into it;
  // its long spans use a pen of their own.
  graph::CurrentWriteMode = 4;
  graph::HLine16Win32GUI(0, 19, 18);
  graph::HLine16Win32GUI(0, 1, 19);
  EXPECT_TRUE(SpanIs(true, 18, 0, 19, PaletteRGB(8)));
  EXPECT_TRUE(BothAre(1, 19, PaletteRGB(8)));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(graph::Pens[i], nullptr) << i;

  // Vertical spans outside copy mode go through the DirectPutPixel hook.
  SetViewPort(10, 20, 99, 99, true);
  graph::DirectPutPixel = CountingHook;
  graph::VLine16Win32GUI(1, 5, 2);
  std::vector<std::pair<int16_t, int16_t>> expected = {{11, 22}, {11, 23}, {11, 24}, {11, 25}};
  EXPECT_EQ(hookCalls, expected);
  hookCalls.clear();
  graph::CurrentWriteMode = 0;
  graph::VLine16Win32GUI(1, 5, 2);
  EXPECT_TRUE(hookCalls.empty());
}

}  // namespace
