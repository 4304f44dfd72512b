// Text in the built-in font: the font table itself, glyphs on both targets in
// white or the current colour, justification, the viewport test and clipping,
// enlarged and vertical text, the glyph caches, and a glyph that cannot be made.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "runtime/system.h"
#include "runtime/text_stream.h"
#include "tests/support/child_process.h"
#include "tests/window_driver/memory_targets.h"

namespace {

using namespace memory_targets;

constexpr win::COLORREF kWhite = RGB(255, 255, 255);
constexpr win::COLORREF kBackground = RGB(0x21, 0x43, 0x65);

bool Ink(uint8_t ch, int row, int column) {
  return graph::DefaultFontData[64 * ch + 8 * row + column] != 0;
}

std::string GlyphRows(uint8_t ch) {
  std::string rows;
  for (int r = 0; r < 8; ++r) {
    for (int k = 0; k < 8; ++k) rows += Ink(ch, r, k) ? '1' : '0';
    rows += r < 7 ? " " : "";
  }
  return rows;
}

TEST(DefaultFont, HoldsTheListedGlyphsAndOnlyOnesAndZeros) {
  EXPECT_EQ(GlyphRows(1), "01111110 10000001 10100101 10000001 10111101 10011001 10000001 01111110");
  EXPECT_EQ(GlyphRows(65), "00111000 01101100 11000110 11000110 11111110 11000110 11000110 00000000");
  EXPECT_EQ(GlyphRows(103), "00000000 00000000 01111110 11000110 11001110 01110110 00000110 01111100");
  const std::string empty = "00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000";
  EXPECT_EQ(GlyphRows(0), empty);
  EXPECT_EQ(GlyphRows(32), empty);
  EXPECT_EQ(GlyphRows(255), empty);
  EXPECT_EQ(GlyphRows(219), "11111111 11111111 11111111 11111111 11111111 11111111 11111111 11111111");
  for (int i = 0; i < 256 * 64; ++i) ASSERT_LE(graph::DefaultFontData[i], 1) << i;

  // Every other code has a glyph of its own.
  for (int c = 1; c < 255; ++c) {
    if (c == 32) continue;
    EXPECT_NE(GlyphRows(static_cast<uint8_t>(c)), empty) << c;
  }
}

TEST(DefaultFont, OnlyDescendersReachTheLastRowAmongPrintableCharacters) {
  const std::string descenders = ",;Q_gjpqy";
  for (int c = 32; c < 127; ++c) {
    bool lastRow = false;
    for (int k = 0; k < 8; ++k) lastRow = lastRow || Ink(static_cast<uint8_t>(c), 7, k);
    EXPECT_EQ(lastRow, descenders.find(static_cast<char>(c)) != std::string::npos) << static_cast<char>(c);
  }
}

// The glyph of ch with its top-left at (x, y), each pixel a size x size block,
// on both targets: ink in colour, background left as it was.
::testing::AssertionResult GlyphAt(uint8_t ch, int x, int y, int size, win::COLORREF ink, win::COLORREF background) {
  for (int r = 0; r < 8 * size; ++r) {
    for (int k = 0; k < 8 * size; ++k) {
      win::COLORREF expected = Ink(ch, r / size, k / size) ? ink : background;
      if (!BothAre(x + k, y + r, expected)) return BothAre(x + k, y + r, expected) << " in glyph " << int{ch};
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(BitmapText, WhiteIsOredInAndOtherColoursReplaceOnlyTheInk) {
  SetUpMode();
  Paint(0, 0, 40, 20, kBackground);
  graph::OutTextXYWin32GUI(0, 0, "A");
  EXPECT_TRUE(GlyphAt('A', 0, 0, 1, kWhite, kBackground));
  EXPECT_TRUE(Untouched(8, 0, 40, 20, kBackground));
  EXPECT_TRUE(Untouched(0, 8, 7, 20, kBackground));

  // White whatever entry 15 holds; the next character 8 pixels on.
  graph::Pal[15] = {10, 20, 30};
  graph::OutTextXYWin32GUI(0, 10, "gA");
  EXPECT_TRUE(GlyphAt('g', 0, 10, 1, kWhite, kBackground));
  EXPECT_TRUE(GlyphAt('A', 8, 10, 1, kWhite, kBackground));

  // Any other colour in its palette colour, also over white, and the targets
  // get their own brushes back.
  win::HGDIOBJ brush = win::GetStockObject(WHITE_BRUSH);
  win::SelectObject(graph::WinDC, brush);
  win::SelectObject(graph::BitmapDC, brush);
  Paint(0, 0, 40, 20, kWhite);
  graph::Pal[2] = {0, 0, 255};
  graph::CurrentColor = 2;
  graph::OutTextXYWin32GUI(0, 0, "Q");
  EXPECT_TRUE(GlyphAt('Q', 0, 0, 1, RGB(0, 0, 255), kWhite));
  EXPECT_EQ(win::SelectObject(graph::WinDC, brush), brush);
  EXPECT_EQ(win::SelectObject(graph::BitmapDC, brush), brush);

  // Only the flagged targets.
  graph::DrawToBitmap = false;
  graph::OutTextXYWin32GUI(20, 0, "\xDB");
  EXPECT_EQ(BitmapPixel(23, 3), kWhite);
  EXPECT_EQ(WindowPixel(23, 3), RGB(0, 0, 255));
}

TEST(BitmapText, TheAnchorMustLieInTheViewportAndTheTextIsClippedToIt) {
  SetUpMode();
  // An anchor at ViewWidth shows the first character's left column only.
  graph::OutTextXYWin32GUI(639, 0, "AB");
  for (int r = 0; r < 8; ++r) EXPECT_TRUE(BothAre(639, r, Ink('A', r, 0) ? kWhite : 0)) << r;
  EXPECT_TRUE(Untouched(600, 0, 638, 10, 0));

  // One further, or above or left of the viewport, nothing; clipping off or not.
  graph::ClipPixels = false;
  SetViewPort(100, 50, 199, 149, false);
  graph::OutTextXYWin32GUI(100, 10, "\xDB");
  graph::OutTextXYWin32GUI(-1, 10, "\xDB");
  graph::OutTextXYWin32GUI(10, -1, "\xDB");
  graph::OutTextXYWin32GUI(10, 100, "\xDB");
  EXPECT_TRUE(Untouched(90, 40, 210, 160, 0));

  // The viewport clips the text at its right and bottom edges.
  graph::OutTextXYWin32GUI(95, 96, "\xDB\xDB");
  EXPECT_TRUE(BothAre(195, 146, kWhite));
  EXPECT_TRUE(BothAre(199, 149, kWhite));
  EXPECT_TRUE(Untouched(200, 146, 210, 160, 0));
  EXPECT_TRUE(Untouched(195, 150, 199, 160, 0));

  // Afterwards the targets are not clipped any more.
  graph::PutPixel16Win32GUI(200, 100, 15);
  EXPECT_TRUE(BothAre(300, 150, PaletteRGB(15)));
}

TEST(BitmapText, JustificationAndSizeMoveAndEnlargeTheCells) {
  SetUpMode();
  // Right and bottom: the text ends left of x and above y.
  graph::CurrentTextInfo.Horiz = 2;
  graph::CurrentTextInfo.Vert = 0;
  graph::OutTextXYWin32GUI(100, 50, "AB");
  EXPECT_TRUE(GlyphAt('A', 84, 42, 1, kWhite, 0));
  EXPECT_TRUE(GlyphAt('B', 92, 42, 1, kWhite, 0));

  // Size 2: every glyph pixel a 2 x 2 block, the next character 16 pixels on.
  graph::CurrentTextInfo = {0, 0, 2, 0, 2};
  Paint(0, 100, 50, 120, kBackground);
  graph::OutTextXYWin32GUI(0, 100, "Aj");
  EXPECT_TRUE(GlyphAt('A', 0, 100, 2, kWhite, kBackground));
  EXPECT_TRUE(GlyphAt('j', 16, 100, 2, kWhite, kBackground));
  EXPECT_TRUE(Untouched(32, 100, 50, 120, kBackground));
}

TEST(BitmapText, VerticalTextReadsUpwardsFromTheAnchorsBottomRow) {
  SetUpMode();
  graph::CurrentTextInfo.Direction = 1;
  graph::OutTextXYWin32GUI(10, 100, "ABg");
  // Turned a quarter counter-clockwise: glyph row r is column x + r, glyph
  // column k is row bottom - k.
  const char text[] = "ABg";
  for (int i = 0; i < 3; ++i) {
    int bottom = 100 - 8 * i;
    for (int r = 0; r < 8; ++r) {
      for (int k = 0; k < 8; ++k) {
        win::COLORREF expected = Ink(static_cast<uint8_t>(text[i]), r, k) ? kWhite : 0;
        ASSERT_TRUE(BothAre(10 + r, bottom - k, expected)) << text[i] << " row " << r << " column " << k;
      }
    }
  }
  EXPECT_TRUE(Untouched(0, 60, 30, 76, 0));
  EXPECT_TRUE(Untouched(0, 101, 30, 120, 0));
  EXPECT_TRUE(Untouched(18, 77, 30, 100, 0));
  EXPECT_NE(graph::BitmapFontVerticalCache['A'], nullptr);
  EXPECT_EQ(graph::BitmapFontHorizonCache['A'], nullptr);
}

TEST(GlyphCache, EachGlyphIsMadeOncePerDirection) {
  SetUpMode();
  graph::OutTextXYWin32GUI(0, 0, "A A");
  win::HBITMAP a = graph::BitmapFontHorizonCache['A'];
  win::HBITMAP space = graph::BitmapFontHorizonCache[' '];
  ASSERT_NE(a, nullptr);
  ASSERT_NE(space, nullptr);
  EXPECT_NE(a, space);
  EXPECT_TRUE(Untouched(8, 0, 15, 7, 0)) << "the space changes no pixel";
  EXPECT_EQ(graph::BitmapFontHorizonCache['B'], nullptr);

  graph::CurrentColor = 3;
  graph::CurrentTextInfo.CharSize = 2;
  graph::OutTextXYWin32GUI(0, 20, "AA");
  EXPECT_EQ(graph::BitmapFontHorizonCache['A'], a);
  EXPECT_EQ(graph::BitmapFontHorizonCache[' '], space);
  EXPECT_TRUE(GlyphAt('A', 16, 20, 2, PaletteRGB(3), 0));
}

TEST(BitmapText, RestoresTheWriteModeOnEveryWayOut) {
  SetUpMode();
  Paint(0, 0, 20, 20, kBackground);
  graph::CurrentWriteMode = 3;
  graph::OutTextXYWin32GUI(0, 0, "A");
  EXPECT_EQ(graph::CurrentWriteMode, 3);
  EXPECT_TRUE(GlyphAt('A', 0, 0, 1, kWhite, kBackground));
  graph::OutTextXYWin32GUI(-5, 0, "A");
  EXPECT_EQ(graph::CurrentWriteMode, 3);
  // A stroked font is never loaded: nothing to draw.
  graph::CurrentTextInfo.Font = 1;
  graph::OutTextXYWin32GUI(100, 100, "A");
  EXPECT_EQ(graph::CurrentWriteMode, 3);
  EXPECT_TRUE(Untouched(95, 95, 115, 115, 0));

  // Once the window is gone: nothing drawn, no glyph made.
  graph::CurrentTextInfo.Font = 0;
  __atomic_store_n(&graph::GraphRunning, false, __ATOMIC_RELEASE);
  graph::OutTextXYWin32GUI(30, 30, "B");
  EXPECT_TRUE(Untouched(30, 30, 40, 40, 0));
  EXPECT_EQ(graph::BitmapFontHorizonCache['B'], nullptr);
}

// Output's flush (writes what is buffered), after telling whether another
// thread could take the drawing lock meanwhile: the window thread must not be kept from it while
// the message is written, since a failing write ends the program, and the exit
// may wait for the window thread's destruction, which takes that lock.
bool lockWasFree = true;
int16_t FlushProbingTheLock(rtl::TextRec& t) {
  bool taken = false;
  std::thread probe([&taken] {
    win::EnterCriticalSection(&graph::GraphDrawing);
    __atomic_store_n(&taken, true, __ATOMIC_RELEASE);
    win::LeaveCriticalSection(&graph::GraphDrawing);
  });
  for (int i = 0; i < 400 && !__atomic_load_n(&taken, __ATOMIC_ACQUIRE); ++i) win::Sleep(5);
  if (__atomic_load_n(&taken, __ATOMIC_ACQUIRE)) {
    probe.join();
  } else {
    lockWasFree = false;
    probe.detach();
  }
  return t.InOutFunc(t);
}

TEST(GlyphFailure, ReportsEachGlyphThatCannotBeMadeAndTriesAgainNextTime) {
  auto r = testing_support::RunInChild([] {
    rtl::SysInitStdIO();
    rtl::Output.FlushFunc = FlushProbingTheLock;
    SetUpMode();
    // A window context that is gone makes every glyph bitmap fail; with the
    // window not drawn on, the bitmap target still takes the text.
    win::HDC window = graph::WinDC;
    graph::WinDC = win::CreateCompatibleDC(nullptr);
    win::DeleteDC(graph::WinDC);
    graph::DrawToScreen = false;
    graph::CurrentWriteMode = 1;
    graph::OutTextXYWin32GUI(0, 0, "AB");
    bool nothingDrawn = BitmapPixel(3, 0) == 0 && BitmapPixel(8 + 1, 0) == 0;
    bool cacheEmpty = graph::BitmapFontHorizonCache['A'] == nullptr && graph::BitmapFontHorizonCache['B'] == nullptr;
    bool modeBack = graph::CurrentWriteMode == 1;

    graph::WinDC = window;
    graph::OutTextXYWin32GUI(0, 0, "A");
    bool madeNow = graph::BitmapFontHorizonCache['A'] != nullptr && BitmapPixel(2, 0) == RGB(255, 255, 255);
    rtl::Flush(rtl::Output);
    _exit((nothingDrawn ? 0 : 1) | (cacheEmpty ? 0 : 2) | (modeBack ? 0 : 4) | (madeNow ? 0 : 8) |
          (lockWasFree ? 0 : 16));
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "Bitmap konnte nicht erzeugt werden!\r\nBitmap konnte nicht erzeugt werden!\r\n");
}

}  // namespace
