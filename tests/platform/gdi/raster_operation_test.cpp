// Ternary raster operations in block transfers: each operation's index is its
// own truth table, the named operations do what their names promise, and the
// operations without a source need no source DC.
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
  win::HBRUSH brush = win::CreateSolidBrush(P);
  win::SelectObject(target.dc, brush);
  if (stretch)
    EXPECT_TRUE(win::StretchBlt(target.dc, 1, 1, 2, 2, source.dc, 0, 0, 2, 2, rop));
  else
    EXPECT_TRUE(win::BitBlt(target.dc, 1, 1, 2, 2, source.dc, 0, 0, rop));
  EXPECT_EQ(win::GetPixel(target.dc, 0, 0), D) << "outside the block";
  EXPECT_EQ(win::GetPixel(target.dc, 3, 3), D) << "outside the block";
  EXPECT_EQ(win::GetPixel(target.dc, 1, 1), win::GetPixel(target.dc, 2, 2));
  return win::GetPixel(target.dc, 2, 1);
}

TEST(RasterOperations, EveryIndexIsItsOwnTruthTable) {
  for (unsigned index = 0; index < 256; ++index) {
    win::DWORD rop = index << 16;
    win::COLORREF expected = index * 0x010101u;
    EXPECT_EQ(Transfer(rop, false), expected) << "BitBlt index " << index;
    EXPECT_EQ(Transfer(rop, true), expected) << "StretchBlt index " << index;
  }
}

TEST(RasterOperations, NamedOperationsOnInkAndBackground) {
  // A glyph-like source: white ink on black; a grey and a red destination pixel.
  struct Case {
    win::DWORD rop;
    win::COLORREF (*expected)(win::COLORREF p, win::COLORREF s, win::COLORREF d);
  };
  const Case cases[] = {
      {SRCCOPY, [](win::COLORREF, win::COLORREF s, win::COLORREF) { return s; }},
      {SRCPAINT, [](win::COLORREF, win::COLORREF s, win::COLORREF d) { return s | d; }},
      {0x00220326u, [](win::COLORREF, win::COLORREF s, win::COLORREF d) { return d & ~s & 0xFFFFFFu; }},
      {0x00EA02E9u, [](win::COLORREF p, win::COLORREF s, win::COLORREF d) { return d | (p & s); }},
      {SRCAND, [](win::COLORREF, win::COLORREF s, win::COLORREF d) { return s & d; }},
      {SRCINVERT, [](win::COLORREF, win::COLORREF s, win::COLORREF d) { return s ^ d; }},
      {NOTSRCCOPY, [](win::COLORREF, win::COLORREF s, win::COLORREF) { return ~s & 0xFFFFFFu; }},
      {MERGECOPY, [](win::COLORREF p, win::COLORREF s, win::COLORREF) { return p & s; }},
      {PATCOPY, [](win::COLORREF p, win::COLORREF, win::COLORREF) { return p; }},
      {PATINVERT, [](win::COLORREF p, win::COLORREF, win::COLORREF d) { return p ^ d; }},
      {DSTINVERT, [](win::COLORREF, win::COLORREF, win::COLORREF d) { return ~d & 0xFFFFFFu; }},
      {BLACKNESS, [](win::COLORREF, win::COLORREF, win::COLORREF) { return win::COLORREF{0}; }},
      {WHITENESS, [](win::COLORREF, win::COLORREF, win::COLORREF) { return win::COLORREF{0xFFFFFF}; }},
  };
  const win::COLORREF brushColor = RGB(40, 200, 90);
  const win::COLORREF sources[2] = {0xFFFFFF, 0x000000};  // ink, background
  const win::COLORREF destinations[2] = {RGB(168, 168, 168), RGB(255, 0, 0)};
  for (const Case& c : cases) {
    BitmapDC target = MakeBitmapDC(2, 2), source = MakeBitmapDC(2, 2);
    for (int x = 0; x < 2; ++x)
      for (int y = 0; y < 2; ++y) {
        win::SetPixelV(source.dc, x, y, sources[x]);
        win::SetPixelV(target.dc, x, y, destinations[y]);
      }
    win::SelectObject(target.dc, win::CreateSolidBrush(brushColor));
    ASSERT_TRUE(win::BitBlt(target.dc, 0, 0, 2, 2, source.dc, 0, 0, c.rop));
    for (int x = 0; x < 2; ++x)
      for (int y = 0; y < 2; ++y)
        EXPECT_EQ(win::GetPixel(target.dc, x, y), c.expected(brushColor, sources[x], destinations[y]))
            << std::hex << "rop " << c.rop << " at " << x << "," << y;
  }
}

TEST(RasterOperations, GlyphInBrushColourLeavesBackground) {
  // Clearing the ink, then painting it in the brush colour: the text path of
  // the window driver for colours other than white.
  BitmapDC target = MakeBitmapDC(8, 1), glyph = MakeBitmapDC(8, 1);
  gdi_test::Fill(target, RGB(0, 0, 255));
  for (int x = 0; x < 8; x += 2) win::SetPixelV(glyph.dc, x, 0, 0xFFFFFF);
  win::SelectObject(target.dc, win::CreateSolidBrush(RGB(0, 255, 0)));
  ASSERT_TRUE(win::BitBlt(target.dc, 0, 0, 8, 1, glyph.dc, 0, 0, 0x00220326u));
  ASSERT_TRUE(win::BitBlt(target.dc, 0, 0, 8, 1, glyph.dc, 0, 0, 0x00EA02E9u));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(win::GetPixel(target.dc, x, 0), x % 2 ? RGB(0, 0, 255) : RGB(0, 255, 0)) << x;
}

TEST(RasterOperations, SourcelessOperationsNeedNoSourceDC) {
  BitmapDC target = MakeBitmapDC(3, 3);
  gdi_test::Fill(target, RGB(1, 2, 3));
  win::SelectObject(target.dc, win::CreateSolidBrush(RGB(9, 8, 7)));
  EXPECT_TRUE(win::BitBlt(target.dc, 0, 0, 1, 3, nullptr, 0, 0, PATCOPY));
  EXPECT_TRUE(win::BitBlt(target.dc, 1, 0, 1, 3, nullptr, 0, 0, BLACKNESS));
  EXPECT_TRUE(win::StretchBlt(target.dc, 2, 0, 1, 2, nullptr, 0, 0, 0, 0, WHITENESS));
  EXPECT_TRUE(win::BitBlt(target.dc, 2, 2, 1, 1, nullptr, 0, 0, DSTINVERT));
  EXPECT_EQ(win::GetPixel(target.dc, 0, 2), RGB(9, 8, 7));
  EXPECT_EQ(win::GetPixel(target.dc, 1, 1), 0u);
  EXPECT_EQ(win::GetPixel(target.dc, 2, 1), 0xFFFFFFu);
  EXPECT_EQ(win::GetPixel(target.dc, 2, 2), RGB(1, 2, 3) ^ 0xFFFFFFu);
  // An operation that reads the source fails without one and changes nothing.
  EXPECT_FALSE(win::BitBlt(target.dc, 0, 0, 3, 3, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(win::StretchBlt(target.dc, 0, 0, 3, 3, nullptr, 0, 0, 1, 1, SRCPAINT));
  EXPECT_EQ(win::GetPixel(target.dc, 0, 0), RGB(9, 8, 7));
}

TEST(RasterOperations, HollowBrushGivesNoPattern) {
  BitmapDC target = MakeBitmapDC(2, 2);
  gdi_test::Fill(target, RGB(5, 5, 5));
  win::SelectObject(target.dc, win::GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(win::BitBlt(target.dc, 0, 0, 2, 2, nullptr, 0, 0, PATCOPY));
  EXPECT_EQ(win::GetPixel(target.dc, 1, 1), RGB(5, 5, 5));
  win::SelectObject(target.dc, win::GetStockObject(GRAY_BRUSH));
  EXPECT_TRUE(win::BitBlt(target.dc, 0, 0, 2, 2, nullptr, 0, 0, PATCOPY));
  EXPECT_EQ(win::GetPixel(target.dc, 1, 1), RGB(128, 128, 128));
}

TEST(RasterOperations, CopyWithinOneBitmapOverlapping) {
  BitmapDC d = MakeBitmapDC(6, 1);
  for (int x = 0; x < 6; ++x) win::SetPixelV(d.dc, x, 0, static_cast<win::COLORREF>(x + 1));
  ASSERT_TRUE(win::BitBlt(d.dc, 1, 0, 5, 1, d.dc, 0, 0, SRCCOPY));  // shift right by one
  std::vector<win::COLORREF> expected = {1, 1, 2, 3, 4, 5};
  EXPECT_EQ(gdi_test::Pixels(d), expected);
  ASSERT_TRUE(win::BitBlt(d.dc, 0, 0, 5, 1, d.dc, 1, 0, SRCPAINT));  // or with the right neighbour
  expected = {1 | 1, 1 | 2, 2 | 3, 3 | 4, 4 | 5, 5};
  EXPECT_EQ(gdi_test::Pixels(d), expected);
}

}  // namespace
