// Block transfers: each raster operation's index is its own truth table, the
// text drawing's operations on ink and background, and StretchBlt's blocks.
#include <gtest/gtest.h>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

// Pattern, source and destination colours whose bits go through all eight
// combinations: bit n of each byte of the result is the operation's value for
// the combination n, so the result repeats the operation's index in each byte.
constexpr win::COLORREF P = 0xF0F0F0, S = 0xCCCCCC, D = 0xAAAAAA;

win::COLORREF Transfer(win::DWORD rop, bool stretch) {
  BitmapDC target = MakeBitmapDC(4, 4), source = MakeBitmapDC(4, 4);
  gdi_test::Fill(target, D);
  gdi_test::Fill(source, S);
  win::SelectObject(target.dc, win::CreateSolidBrush(P));
  EXPECT_TRUE(stretch ? win::StretchBlt(target.dc, 1, 1, 2, 2, source.dc, 0, 0, 2, 2, rop)
                      : win::BitBlt(target.dc, 1, 1, 2, 2, source.dc, 0, 0, rop));
  EXPECT_TRUE(win::GetPixel(target.dc, 0, 0) == D && win::GetPixel(target.dc, 3, 3) == D) << "outside the block";
  EXPECT_EQ(win::GetPixel(target.dc, 1, 1), win::GetPixel(target.dc, 2, 2));
  return win::GetPixel(target.dc, 2, 1);
}

TEST(RasterOperations, EveryIndexIsItsOwnTruthTable) {
  for (unsigned index = 0; index < 256; ++index)
    for (bool stretch : {false, true})
      EXPECT_EQ(Transfer(index << 16, stretch), index * 0x010101u) << "index " << index << ", stretched " << stretch;
}

TEST(RasterOperations, TextOperationsOnInkAndBackground) {
  // A glyph of white ink on black over a grey and a red row: ink on grey,
  // background on grey, ink on red, background on red.
  constexpr win::COLORREF White = 0xFFFFFF, Grey = RGB(168, 168, 168), Red = RGB(255, 0, 0), Brush = RGB(40, 200, 90);
  const std::vector<std::pair<std::vector<win::DWORD>, std::vector<win::COLORREF>>> cases = {
      {{SRCCOPY}, {White, 0, White, 0}},
      {{SRCPAINT}, {White, Grey, White, Red}},
      {{0x00220326u}, {0, Grey, 0, Red}},                       // ink cleared
      {{0x00EA02E9u}, {Grey | Brush, Grey, Red | Brush, Red}},  // ink added in the brush colour
      {{0x00220326u, 0x00EA02E9u}, {Brush, Grey, Brush, Red}},  // both: ink in the brush colour
  };
  for (const auto& [rops, expected] : cases) {
    BitmapDC target = MakeBitmapDC(2, 2), glyph = MakeBitmapDC(2, 2);
    for (int y = 0; y < 2; ++y) {
      win::SetPixelV(glyph.dc, 0, y, White);
      for (int x = 0; x < 2; ++x) win::SetPixelV(target.dc, x, y, y ? Red : Grey);
    }
    win::SelectObject(target.dc, win::CreateSolidBrush(Brush));
    for (win::DWORD rop : rops) ASSERT_TRUE(win::BitBlt(target.dc, 0, 0, 2, 2, glyph.dc, 0, 0, rop));
    EXPECT_EQ(gdi_test::Pixels(target), expected) << std::hex << rops[0];
  }
}

TEST(Stretching, EnlargingMakesBlocks) {
  BitmapDC source = MakeBitmapDC(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) win::SetPixelV(source.dc, x, y, static_cast<win::COLORREF>(0x100 + y * 8 + x));
  for (int zoom : {2, 3}) {
    BitmapDC target = MakeBitmapDC(8 * zoom + 2, 8 * zoom + 2);
    ASSERT_TRUE(win::StretchBlt(target.dc, 1, 1, 8 * zoom, 8 * zoom, source.dc, 0, 0, 8, 8, SRCCOPY));
    for (int y = 0; y < target.height; ++y)
      for (int x = 0; x < target.width; ++x) {
        bool inside = x >= 1 && y >= 1 && x <= 8 * zoom && y <= 8 * zoom;
        win::COLORREF expected = inside ? win::GetPixel(source.dc, (x - 1) / zoom, (y - 1) / zoom) : win::COLORREF{0};
        ASSERT_EQ(win::GetPixel(target.dc, x, y), expected) << "zoom " << zoom << " at " << x << "," << y;
      }
  }
}

}  // namespace
