// StretchBlt by nearest neighbour: enlarging makes each source pixel a block,
// opposite signs mirror, shrinking samples, and the raster operation applies.
#include <gtest/gtest.h>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

// An 8 x 8 source whose every pixel has its own colour.
BitmapDC Numbered(int size = 8) {
  BitmapDC d = MakeBitmapDC(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) win::SetPixelV(d.dc, x, y, static_cast<win::COLORREF>(0x100 + y * size + x));
  return d;
}

TEST(Stretching, EnlargingMakesBlocks) {
  BitmapDC source = Numbered();
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

TEST(Stretching, RasterOperationOnEnlargedGlyph) {
  // A glyph of one ink pixel, painted in white with SRCPAINT at size 2.
  BitmapDC glyph = MakeBitmapDC(8, 8), target = MakeBitmapDC(16, 16);
  win::SetPixelV(glyph.dc, 3, 5, 0xFFFFFF);
  gdi_test::Fill(target, RGB(0, 0, 100));
  ASSERT_TRUE(win::StretchBlt(target.dc, 0, 0, 16, 16, glyph.dc, 0, 0, 8, 8, SRCPAINT));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      bool ink = x / 2 == 3 && y / 2 == 5;
      EXPECT_EQ(win::GetPixel(target.dc, x, y), ink ? 0xFFFFFFu : RGB(0, 0, 100)) << x << "," << y;
    }
}

TEST(Stretching, MirroringAndShrinking) {
  BitmapDC source = Numbered(4);
  BitmapDC mirrored = MakeBitmapDC(4, 4);
  // Destination width negative, source positive: left and right swap.
  ASSERT_TRUE(win::StretchBlt(mirrored.dc, 4, 0, -4, 4, source.dc, 0, 0, 4, 4, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(win::GetPixel(mirrored.dc, x, y), win::GetPixel(source.dc, 3 - x, y));
  // Both negative: no mirror, the same as both positive.
  BitmapDC upright = MakeBitmapDC(4, 4);
  ASSERT_TRUE(win::StretchBlt(upright.dc, 4, 4, -4, -4, source.dc, 4, 4, -4, -4, SRCCOPY));
  EXPECT_EQ(gdi_test::Pixels(upright), gdi_test::Pixels(source));
  // Halving takes one pixel of each 2 x 2 block.
  BitmapDC half = MakeBitmapDC(2, 2);
  ASSERT_TRUE(win::StretchBlt(half.dc, 0, 0, 2, 2, source.dc, 0, 0, 4, 4, SRCCOPY));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      win::COLORREF c = win::GetPixel(half.dc, x, y);
      bool fromBlock = false;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) fromBlock |= c == win::GetPixel(source.dc, 2 * x + dx, 2 * y + dy);
      EXPECT_TRUE(fromBlock) << x << "," << y;
    }
  // An empty source extent has nothing to stretch.
  EXPECT_FALSE(win::StretchBlt(half.dc, 0, 0, 2, 2, source.dc, 0, 0, 0, 4, SRCCOPY));
}

TEST(Stretching, SourcePartlyOutsideLeavesTheRest) {
  BitmapDC source = Numbered(2), target = MakeBitmapDC(8, 2);
  // The source block (1, 0)-(3, 1) has only column 1; each column becomes two.
  ASSERT_TRUE(win::StretchBlt(target.dc, 0, 0, 6, 2, source.dc, 1, 0, 3, 1, SRCCOPY));
  std::vector<win::COLORREF> expected = {0x101, 0x101, 0, 0, 0, 0, 0, 0,  //
                                         0x101, 0x101, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(gdi_test::Pixels(target), expected);
}

}  // namespace
