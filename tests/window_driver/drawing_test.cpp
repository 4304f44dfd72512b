// The driver's pixels, spans, palette and text on two memory device contexts
// standing in for the off-screen bitmap and the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "runtime/system.h"
#include "runtime/text_stream.h"
#include "tests/support/child_process.h"

namespace {

win::HDC MemoryTarget(int width, int height) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::SelectObject(dc, win::CreateCompatibleBitmap(dc, width, height));
  win::SelectObject(dc, win::GetStockObject(BLACK_PEN));
  win::SelectObject(dc, win::GetStockObject(BLACK_BRUSH));
  win::Rectangle(dc, 0, 0, width, height);
  return dc;
}

// A mode as the graph window leaves it after its first paint, with a palette of
// exactly its colour count: a read beyond shows under the address sanitizer.
void SetUpMode(int16_t width = 640, int16_t height = 480, int32_t colors = 16) {
  graph::MaxColor = colors;
  graph::Pal = new graph::RGBRec[colors];
  std::copy(graph::DefaultColors, graph::DefaultColors + colors, graph::Pal);
  win::InitializeCriticalSection(&graph::GraphDrawing);
  graph::BitmapDC = MemoryTarget(width, height);
  graph::WinDC = MemoryTarget(width, height);
  std::fill(std::begin(graph::Pens), std::end(graph::Pens), nullptr);
  std::fill(std::begin(graph::BitmapFontHorizonCache), std::end(graph::BitmapFontHorizonCache), nullptr);
  std::fill(std::begin(graph::BitmapFontVerticalCache), std::end(graph::BitmapFontVerticalCache), nullptr);
  graph::DrawToBitmap = graph::DrawToScreen = graph::IsGraphMode = graph::ClipPixels = true;
  graph::StartXViewPort = graph::StartYViewPort = 0;
  graph::ViewWidth = static_cast<int16_t>(width - 1);
  graph::ViewHeight = static_cast<int16_t>(height - 1);
  graph::CurrentColor = 15;
  graph::CurrentWriteMode = 0;
  graph::CurrentTextInfo = {0, 0, 1, 0, 2};
  graph::_GraphResult = 0;
  graph::Hooks.DirectPutPixel = graph::DirectPutPixel16Win32GUI;
  __atomic_store_n(&graph::GraphRunning, true, __ATOMIC_RELEASE);
}

void SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
  graph::StartXViewPort = x1;
  graph::StartYViewPort = y1;
  graph::ViewWidth = static_cast<int16_t>(x2 - x1);
  graph::ViewHeight = static_cast<int16_t>(y2 - y1);
  graph::ClipPixels = clip;
}

::testing::AssertionResult BothAre(int x, int y, win::COLORREF color) {
  win::COLORREF b = win::GetPixel(graph::BitmapDC, x, y), w = win::GetPixel(graph::WinDC, x, y);
  if (b == color && w == color) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") bitmap " << std::hex << b << ", window " << w
                                       << ", expected " << color;
}

void Paint(int left, int top, int right, int bottom, win::COLORREF color) {
  for (win::HDC dc : {graph::BitmapDC, graph::WinDC})
    for (int y = top; y <= bottom; ++y)
      for (int x = left; x <= right; ++x) win::SetPixelV(dc, x, y, color);
}

::testing::AssertionResult Untouched(int left, int top, int right, int bottom, win::COLORREF background) {
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x)
      if (!BothAre(x, y, background)) return BothAre(x, y, background);
  return ::testing::AssertionSuccess();
}

win::COLORREF PaletteRGB(int index) {
  const graph::RGBRec& e = graph::DefaultColors[index];
  return RGB(e.Red, e.Green, e.Blue);
}

constexpr win::COLORREF Grey = RGB(168, 168, 168);

// Pixels from..to along row y (or column x) hold colour, their neighbours do not.
::testing::AssertionResult SpanIs(bool row, int at, int from, int to, win::COLORREF color) {
  auto pixel = [&](int p) { return row ? BothAre(p, at, color) : BothAre(at, p, color); };
  for (int p = from; p <= to; ++p)
    if (!pixel(p)) return pixel(p);
  if (pixel(from - 1) || pixel(to + 1)) return ::testing::AssertionFailure() << "drawn beyond " << from << ".." << to;
  return ::testing::AssertionSuccess();
}

TEST(Pixels, ClippedToTheViewportAndReadBackAsTheNearestPaletteEntryLowestFirst) {
  SetUpMode(640, 480, 256);
  // The full-screen viewport of a 640 x 480 mode ends at row 479 and column 639.
  for (int16_t y : {479, 480}) graph::PutPixel16Win32GUI(5, y, 7);
  for (int16_t x : {639, 640, -1}) graph::PutPixel16Win32GUI(x, 8, 7);
  EXPECT_TRUE(BothAre(5, 479, Grey));
  EXPECT_TRUE(BothAre(639, 8, Grey));
  EXPECT_TRUE(BothAre(0, 8, 0));
  EXPECT_EQ(graph::GetPixel16Win32GUI(5, 479), 7);

  // Read from the bitmap, whatever the window shows: black is entry 0, not 16 or 248-255.
  win::SetPixelV(graph::WinDC, 4, 4, RGB(252, 252, 252));
  EXPECT_EQ(graph::GetPixel16Win32GUI(4, 4), 0);
  // (250, 250, 250) is as near to entry 15 as to entry 31.
  win::SetPixelV(graph::BitmapDC, 5, 5, RGB(250, 250, 250));
  EXPECT_EQ(graph::GetPixel16Win32GUI(5, 5), 15);
  graph::Pal[40] = {10, 10, 11};
  graph::Pal[41] = {30, 10, 10};
  win::SetPixelV(graph::BitmapDC, 6, 6, RGB(20, 10, 10));
  EXPECT_EQ(graph::GetPixel16Win32GUI(6, 6), 41);
  graph::MaxColor = 41;  // only the MaxColor entries take part
  EXPECT_EQ(graph::GetPixel16Win32GUI(6, 6), 40);

  // Viewport coordinates, both bounds inclusive.
  SetViewPort(100, 50, 109, 59, true);
  graph::PutPixel16Win32GUI(9, 9, 2);
  graph::PutPixel16Win32GUI(10, 0, 3);
  EXPECT_TRUE(BothAre(109, 59, PaletteRGB(2)));
  EXPECT_TRUE(BothAre(110, 50, 0));
}

TEST(PaletteEntries, AreStoredAsGivenAndRefusedOutsideThePalette) {
  SetUpMode(640, 480, 16);
  int16_t r = 11, g = 22, b = 33;
  graph::SetRGBPaletteWin32GUI(15, -7, 300, 32767);
  graph::GetRGBPaletteWin32GUI(15, r, g, b);
  EXPECT_TRUE(r == -7 && g == 300 && b == 32767 && graph::_GraphResult == 0);
  auto refused = [&](int16_t n) {
    graph::_GraphResult = 0;
    graph::SetRGBPaletteWin32GUI(n, 1, 2, 3);
    bool setRefused = graph::_GraphResult == graph::grError;
    graph::_GraphResult = 0;
    graph::GetRGBPaletteWin32GUI(n, r, g, b);
    return setRefused && graph::_GraphResult == graph::grError;
  };
  EXPECT_TRUE(refused(16));
  EXPECT_TRUE(refused(-1));
  // After the graph is closed there is no palette to change.
  delete[] graph::Pal;
  graph::Pal = nullptr;
  EXPECT_TRUE(refused(1));
}

TEST(Spans, CoverBothEndsInEitherOrderCutToTheViewport) {
  SetUpMode();
  graph::CurrentColor = 4;
  const win::COLORREF red = PaletteRGB(4);
  SetViewPort(100, 100, 199, 199, true);
  // Entirely below, left of, right of and above the viewport: nothing.
  graph::HLine16Win32GUI(0, 99, 100);
  graph::HLine16Win32GUI(-20, -1, 6);
  graph::VLine16Win32GUI(100, 0, 99);
  graph::VLine16Win32GUI(6, -20, -1);
  EXPECT_TRUE(Untouched(0, 0, 300, 300, 0));

  graph::HLine16Win32GUI(3, -5, 0);
  graph::HLine16Win32GUI(95, 300, 99);
  graph::VLine16Win32GUI(50, -5, 3);
  graph::VLine16Win32GUI(60, 300, 95);
  EXPECT_TRUE(SpanIs(true, 100, 100, 103, red));
  EXPECT_TRUE(SpanIs(true, 199, 195, 199, red));
  EXPECT_TRUE(SpanIs(false, 150, 100, 103, red));
  EXPECT_TRUE(SpanIs(false, 160, 195, 199, red));
}

TEST(SpanPens, ShortSpansNeedNoPenAndLongOnesShareOneUntilThePaletteChanges) {
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
  graph::VLine16Win32GUI(20, 11, 30);
  EXPECT_EQ(graph::Pens[3], cached);
  EXPECT_TRUE(SpanIs(true, 10, 10, 13, PaletteRGB(3)));
  graph::CurrentColor = 100;  // a pen for this span only
  graph::HLine16Win32GUI(0, 50, 40);
  EXPECT_EQ(std::count(std::begin(graph::Pens), std::end(graph::Pens), nullptr), 15);

  // A palette change deletes the cached pen; what was drawn keeps the old colour.
  graph::CurrentColor = 3;
  graph::SetRGBPaletteWin32GUI(3, 255, 0, 0);
  EXPECT_EQ(graph::Pens[3], nullptr);
  EXPECT_FALSE(win::DeleteObject(cached)) << "the old pen is deleted";
  graph::HLine16Win32GUI(0, 99, 50);
  EXPECT_TRUE(SpanIs(true, 50, 0, 99, RGB(255, 0, 0)));
  EXPECT_TRUE(SpanIs(true, 10, 10, 13, PaletteRGB(3)));
}

TEST(WriteModes, CombineWithTheWindowPixelOnPixelsAndSpans) {
  SetUpMode();
  graph::CurrentColor = 7;
  const win::COLORREF old = RGB(0x0F, 0xF0, 0x00);
  const std::pair<int16_t, win::COLORREF> cases[] = {{0, Grey},       {1, old ^ Grey}, {2, old | Grey},
                                                     {3, old & Grey}, {9, Grey},       {-1, Grey}};
  SetViewPort(100, 100, 199, 199, true);  // for the spans; the direct pixel is absolute
  for (auto [mode, expected] : cases) {
    SCOPED_TRACE(mode);
    Paint(0, 0, 120, 120, old);
    win::SetPixelV(graph::BitmapDC, 10, 20, RGB(1, 2, 3));  // the window's pixel is combined, not the bitmap's
    graph::CurrentWriteMode = mode;
    graph::DirectPutPixel16Win32GUI(10, 20);
    graph::HLine16Win32GUI(9, 0, 0);
    graph::VLine16Win32GUI(0, 9, 2);
    EXPECT_TRUE(BothAre(10, 20, expected));
    EXPECT_TRUE(SpanIs(true, 100, 100, 109, expected));
    EXPECT_TRUE(SpanIs(false, 100, 102, 109, expected));
  }

  // The not mode's complement index 65535 - i wraps to entry MaxColor - 1 - i,
  // never read beyond the palette's exact allocation; long spans take a pen of their own.
  for (int32_t colors : {16, 256}) {
    delete[] graph::Pal;
    SetUpMode(640, 480, colors);
    graph::CurrentWriteMode = 4;
    graph::CurrentColor = static_cast<uint16_t>(colors == 16 ? 7 : 215);
    const win::COLORREF complement = PaletteRGB(colors - 1 - graph::CurrentColor);
    graph::DirectPutPixel16Win32GUI(0, 0);
    graph::HLine16Win32GUI(0, 19, 2);
    graph::VLine16Win32GUI(30, 0, 9);
    EXPECT_TRUE(BothAre(0, 0, complement)) << colors;
    EXPECT_TRUE(SpanIs(true, 2, 0, 19, complement)) << colors;
    EXPECT_TRUE(SpanIs(false, 30, 0, 9, complement)) << colors;
    for (win::HPEN pen : graph::Pens) EXPECT_EQ(pen, nullptr);
  }
}

// The window's destruction holds the lock while the drawing call, having found
// the window running, waits for it: the call must find it gone under the lock.
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
  DestroyWhileWaiting([] { graph::HLine16Win32GUI(0, 8, 1); });
  DestroyWhileWaiting([] { graph::OutTextXYWin32GUI(0, 2, "\xDB"); });
  EXPECT_TRUE(Untouched(0, 0, 8, 8, 0));
  DestroyWhileWaiting([] { EXPECT_EQ(graph::GetPixel16Win32GUI(9, 9), 0); });
  EXPECT_EQ(graph::_GraphResult, graph::grError);
}

constexpr win::COLORREF White = RGB(255, 255, 255);
constexpr win::COLORREF Background = RGB(0x21, 0x43, 0x65);

bool Ink(uint8_t ch, int row, int column) {
  return graph::DefaultFontData[64 * ch + 8 * row + column] != 0;
}

// The glyph of ch at (x, y), each pixel a size x size block: ink in colour, background kept.
::testing::AssertionResult GlyphAt(uint8_t ch, int x, int y, int size, win::COLORREF ink, win::COLORREF background) {
  for (int r = 0; r < 8 * size; ++r)
    for (int k = 0; k < 8 * size; ++k)
      if (auto at = BothAre(x + k, y + r, Ink(ch, r / size, k / size) ? ink : background); !at)
        return at << " in glyph " << int{ch};
  return ::testing::AssertionSuccess();
}

TEST(BitmapText, WhiteIsOredInAndOtherColoursReplaceOnlyTheInk) {
  SetUpMode();
  Paint(0, 0, 40, 20, Background);
  graph::CurrentWriteMode = 3;
  graph::OutTextXYWin32GUI(0, 0, "A");
  EXPECT_EQ(graph::CurrentWriteMode, 3);
  EXPECT_TRUE(GlyphAt('A', 0, 0, 1, White, Background));  // pure white, not entry 15's (252, 252, 252)
  EXPECT_TRUE(Untouched(8, 0, 40, 20, Background));
  EXPECT_TRUE(Untouched(0, 8, 7, 20, Background));

  // Any other colour through a brush, also over white; the targets get their own brushes back.
  win::HGDIOBJ brush = win::GetStockObject(WHITE_BRUSH);
  win::SelectObject(graph::WinDC, brush);
  win::SelectObject(graph::BitmapDC, brush);
  Paint(0, 0, 40, 20, White);
  graph::Pal[2] = {0, 0, 255};
  graph::CurrentColor = 2;
  graph::OutTextXYWin32GUI(0, 0, "Q");
  EXPECT_TRUE(GlyphAt('Q', 0, 0, 1, RGB(0, 0, 255), White));
  EXPECT_EQ(win::SelectObject(graph::WinDC, brush), brush);
  EXPECT_EQ(win::SelectObject(graph::BitmapDC, brush), brush);
}

TEST(BitmapText, TheAnchorMustLieInTheViewportAndTheTextIsClippedToIt) {
  SetUpMode();
  graph::CurrentWriteMode = 2;
  // An anchor at ViewWidth shows the first character's left column only.
  graph::OutTextXYWin32GUI(639, 0, "AB");
  for (int r = 0; r < 8; ++r) EXPECT_TRUE(BothAre(639, r, Ink('A', r, 0) ? White : 0)) << r;
  EXPECT_TRUE(Untouched(600, 0, 638, 10, 0));

  // One further, or above or left of the viewport: nothing, clipping off or not.
  SetViewPort(100, 50, 199, 149, false);
  graph::OutTextXYWin32GUI(100, 10, "\xDB");
  graph::OutTextXYWin32GUI(-1, 10, "\xDB");
  graph::OutTextXYWin32GUI(10, -1, "\xDB");
  graph::OutTextXYWin32GUI(10, 100, "\xDB");
  EXPECT_TRUE(Untouched(90, 40, 210, 160, 0));
  EXPECT_EQ(graph::CurrentWriteMode, 2);

  // The viewport clips the text at its right and bottom edges.
  graph::OutTextXYWin32GUI(95, 96, "\xDB\xDB");
  EXPECT_TRUE(BothAre(199, 149, White));
  EXPECT_TRUE(Untouched(200, 146, 210, 160, 0));
  // Afterwards the targets are not clipped any more.
  graph::PutPixel16Win32GUI(200, 100, 15);
  EXPECT_TRUE(BothAre(300, 150, PaletteRGB(15)));
}

TEST(BitmapText, JustificationAndSizeMoveAndEnlargeTheCellsOfGlyphsMadeOnce) {
  SetUpMode();
  // Right and bottom: the text ends left of x and above y.
  graph::CurrentTextInfo = {0, 0, 1, 2, 0};
  graph::OutTextXYWin32GUI(100, 50, "AB");
  EXPECT_TRUE(GlyphAt('B', 92, 42, 1, White, 0));
  win::HBITMAP a = graph::BitmapFontHorizonCache['A'];
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(graph::BitmapFontHorizonCache['j'], nullptr);

  // Size 2: every glyph pixel a 2 x 2 block, the next character 16 pixels on.
  graph::CurrentTextInfo = {0, 0, 2, 0, 2};
  Paint(0, 100, 50, 120, Background);
  graph::OutTextXYWin32GUI(0, 100, "Aj");
  EXPECT_TRUE(GlyphAt('A', 0, 100, 2, White, Background));
  EXPECT_TRUE(GlyphAt('j', 16, 100, 2, White, Background));
  EXPECT_TRUE(Untouched(32, 100, 50, 120, Background));
  EXPECT_EQ(graph::BitmapFontHorizonCache['A'], a);
  EXPECT_NE(graph::BitmapFontHorizonCache['j'], nullptr);
}

TEST(BitmapText, VerticalTextReadsUpwardsFromTheAnchorsBottomRow) {
  SetUpMode();
  graph::CurrentTextInfo.Direction = 1;
  graph::OutTextXYWin32GUI(10, 100, "ABg");
  // Turned counter-clockwise: glyph row r is column 10 + r, glyph column k row bottom - k.
  const char text[] = "ABg";
  for (int i = 0; i < 3; ++i)
    for (int r = 0; r < 8; ++r)
      for (int k = 0; k < 8; ++k)
        ASSERT_TRUE(BothAre(10 + r, 100 - 8 * i - k, Ink(static_cast<uint8_t>(text[i]), r, k) ? White : 0))
            << text[i] << " row " << r << " column " << k;
  EXPECT_TRUE(Untouched(0, 60, 30, 76, 0));
  EXPECT_TRUE(Untouched(0, 101, 30, 120, 0));
  EXPECT_TRUE(Untouched(18, 77, 30, 100, 0));
  // Turned glyphs have a cache of their own.
  EXPECT_NE(graph::BitmapFontVerticalCache['A'], nullptr);
  EXPECT_EQ(graph::BitmapFontHorizonCache['A'], nullptr);
}

// The message is written without the drawing lock: a failing write ends the
// program, whose exit waits for the window's destruction, which takes the lock.
// Held, the lock keeps this flush from ever ending.
int16_t FlushAfterTakingTheLock(rtl::TextRec& t) {
  std::thread([] {
    win::EnterCriticalSection(&graph::GraphDrawing);
    win::LeaveCriticalSection(&graph::GraphDrawing);
  }).join();
  return t.InOutFunc(t);
}

TEST(GlyphFailure, ReportsEachGlyphThatCannotBeMadeAndTriesAgainNextTime) {
  auto r = testing_support::RunInChild([] {
    rtl::SysInitStdIO();
    rtl::Output.FlushFunc = FlushAfterTakingTheLock;
    SetUpMode();
    // Glyph bitmaps are made compatible with the window context: a dead one fails them all.
    win::HDC window = graph::WinDC;
    graph::WinDC = win::CreateCompatibleDC(nullptr);
    win::DeleteDC(graph::WinDC);
    graph::DrawToScreen = false;
    graph::CurrentWriteMode = 1;
    graph::OutTextXYWin32GUI(0, 0, "AB");
    auto bitmap = [](int x, int y) { return win::GetPixel(graph::BitmapDC, x, y); };
    bool failedCleanly = bitmap(3, 0) == 0 && bitmap(9, 0) == 0 && graph::CurrentWriteMode == 1 &&
                         graph::BitmapFontHorizonCache['A'] == nullptr && graph::BitmapFontHorizonCache['B'] == nullptr;
    graph::WinDC = window;
    graph::OutTextXYWin32GUI(0, 0, "A");
    bool madeNow = graph::BitmapFontHorizonCache['A'] != nullptr && bitmap(2, 0) == White;
    rtl::Flush(rtl::Output);
    _exit((failedCleanly ? 0 : 1) | (madeNow ? 0 : 2));
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "Bitmap konnte nicht erzeugt werden!\nBitmap konnte nicht erzeugt werden!\n");
}

}  // namespace
