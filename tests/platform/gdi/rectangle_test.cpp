// Rectangle: pen outline on the first and last included row and column, brush
// inside, right and bottom exclusive; without a pen one pixel smaller.
#include <gtest/gtest.h>

#include <climits>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

constexpr win::COLORREF Pen = RGB(255, 0, 0), Brush = RGB(0, 0, 255);

std::string Drawn(const BitmapDC& d) {
  std::string s;
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      win::COLORREF c = win::GetPixel(d.dc, x, y);
      s += c == 0 ? '.' : c == Pen ? 'o' : c == Brush ? '#' : '?';
    }
    s += '\n';
  }
  return s;
}

BitmapDC PenAndBrush(int width, int height, bool pen = true, bool brush = true) {
  BitmapDC d = MakeBitmapDC(width, height);
  win::SelectObject(d.dc, pen ? win::CreatePen(PS_SOLID, 1, Pen) : win::GetStockObject(NULL_PEN));
  win::SelectObject(d.dc, brush ? win::CreateSolidBrush(Brush) : win::GetStockObject(NULL_BRUSH));
  return d;
}

TEST(Rectangles, OutlineAndInsideExcludeRightAndBottom) {
  BitmapDC d = PenAndBrush(8, 6);
  ASSERT_TRUE(win::Rectangle(d.dc, 1, 1, 6, 5));
  EXPECT_EQ(Drawn(d),
            "........\n"
            ".ooooo..\n"
            ".o###o..\n"
            ".o###o..\n"
            ".ooooo..\n"
            "........\n");
  // Corners given the other way round cover the same pixels.
  BitmapDC swapped = PenAndBrush(8, 6);
  ASSERT_TRUE(win::Rectangle(swapped.dc, 6, 5, 1, 1));
  EXPECT_EQ(Drawn(swapped), Drawn(d));
}

TEST(Rectangles, WithoutPenOrBrush) {
  BitmapDC noPen = PenAndBrush(6, 5, false, true);
  ASSERT_TRUE(win::Rectangle(noPen.dc, 1, 1, 5, 4));
  EXPECT_EQ(Drawn(noPen),
            "......\n"
            ".###..\n"
            ".###..\n"
            "......\n"
            "......\n");
  BitmapDC noBrush = PenAndBrush(6, 5, true, false);
  gdi_test::Fill(noBrush, 0);
  win::SetPixelV(noBrush.dc, 2, 2, RGB(7, 7, 7));
  ASSERT_TRUE(win::Rectangle(noBrush.dc, 1, 1, 5, 4));
  EXPECT_EQ(Drawn(noBrush),
            "......\n"
            ".oooo.\n"
            ".o?.o.\n"
            ".oooo.\n"
            "......\n");
}

TEST(Rectangles, ThinAndEmpty) {
  BitmapDC d = PenAndBrush(5, 4);
  ASSERT_TRUE(win::Rectangle(d.dc, 1, 0, 2, 4));  // one column: all outline
  ASSERT_TRUE(win::Rectangle(d.dc, 3, 1, 3, 4));  // no width: nothing
  ASSERT_TRUE(win::Rectangle(d.dc, 2, 2, 5, 2));  // no height: nothing
  EXPECT_EQ(Drawn(d),
            ".o...\n"
            ".o...\n"
            ".o...\n"
            ".o...\n");
}

TEST(Rectangles, HugeCoordinatesFillTheBitmap) {
  BitmapDC d = PenAndBrush(7, 3);
  ASSERT_TRUE(win::Rectangle(d.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  for (win::COLORREF c : gdi_test::Pixels(d)) EXPECT_EQ(c, Brush);
  BitmapDC edge = PenAndBrush(4, 4);
  ASSERT_TRUE(win::Rectangle(edge.dc, -2, 2, INT_MAX, INT_MAX));  // only the top edge is inside
  EXPECT_EQ(Drawn(edge),
            "....\n"
            "....\n"
            "oooo\n"
            "####\n");
}

TEST(Rectangles, DefaultsOfANewDC) {
  // The black pen and the white brush.
  BitmapDC d = MakeBitmapDC(4, 4);
  gdi_test::Fill(d, RGB(1, 1, 1));
  ASSERT_TRUE(win::Rectangle(d.dc, 0, 0, 3, 3));
  EXPECT_EQ(win::GetPixel(d.dc, 0, 0), 0u);
  EXPECT_EQ(win::GetPixel(d.dc, 1, 1), 0xFFFFFFu);
  EXPECT_EQ(win::GetPixel(d.dc, 3, 3), RGB(1, 1, 1));
}

}  // namespace
