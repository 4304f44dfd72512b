// Lines from the current position and rectangles: end points and right and
// bottom edges left out, the position moving on; a clip region bounding every
// operation, and coordinates of any size never reaching outside the bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::Picture;

constexpr win::COLORREF Ink = RGB(255, 255, 0), Brush = RGB(0, 0, 255);

BitmapDC WithPenAndBrush(int width, int height) {
  BitmapDC d = gdi_test::MakeBitmapDC(width, height);
  win::SelectObject(d.dc, win::CreatePen(PS_SOLID, 1, Ink));
  win::SelectObject(d.dc, win::CreateSolidBrush(Brush));
  return d;
}

TEST(Lines, EndPointIsNotDrawnAndThePositionMovesOn) {
  BitmapDC d = WithPenAndBrush(8, 8);
  win::POINT at{-1, -1};
  ASSERT_TRUE(win::MoveToEx(d.dc, 1, 1, &at));
  EXPECT_TRUE(at.x == 0 && at.y == 0);   // a new DC starts at the origin
  ASSERT_TRUE(win::LineTo(d.dc, 5, 1));  // right
  win::MoveToEx(d.dc, 6, 6, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 6, 2));  // up
  ASSERT_TRUE(win::LineTo(d.dc, 6, 2));  // to where it is: nothing
  win::MoveToEx(d.dc, 4, 7, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 0, 3));  // diagonal, up and left
  win::SelectObject(d.dc, win::GetStockObject(NULL_PEN));
  ASSERT_TRUE(win::LineTo(d.dc, 7, 7));  // nothing drawn, yet the position moves
  ASSERT_TRUE(win::MoveToEx(d.dc, 0, 0, &at));
  EXPECT_TRUE(at.x == 7 && at.y == 7);
  EXPECT_EQ(Picture(d, Ink, Brush),
            "........\n"
            ".oooo...\n"
            "........\n"
            "......o.\n"
            ".o....o.\n"
            "..o...o.\n"
            "...o..o.\n"
            "....o...\n");
}

// Drawn whole in a large bitmap and in part in a small one, the pixels the
// small one shows agree: clipping never moves a line. Each drawn pixel but the
// start touches a drawn one (or the edge) towards the start, and a line
// wholly inside has one pixel per step of its longer axis.
TEST(Lines, ConnectedAndUnmovedByClipping) {
  const int ends[][4] = {{0, 0, 63, 20},      {63, 20, 0, 0},     {3, 63, 9, 0},     {10, 1, 11, 18},
                         {-590, 7, 60, 20},   {60, 20, -590, 7},  {5, -590, 20, 50}, {40, -10, -30, 90},
                         {-1, 590, 63, -590}, {-599, 31, 599, 32}};
  const int offset = 600;
  BitmapDC large = WithPenAndBrush(1264, 1264);
  for (const auto& e : ends) {
    SCOPED_TRACE(testing::Message() << e[0] << "," << e[1] << " to " << e[2] << "," << e[3]);
    BitmapDC small = WithPenAndBrush(64, 64);
    win::BitBlt(large.dc, 0, 0, large.width, large.height, nullptr, 0, 0, BLACKNESS);
    win::MoveToEx(small.dc, e[0], e[1], nullptr);
    win::LineTo(small.dc, e[2], e[3]);
    win::MoveToEx(large.dc, e[0] + offset, e[1] + offset, nullptr);
    win::LineTo(large.dc, e[2] + offset, e[3] + offset);
    int drawn = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        win::COLORREF c = win::GetPixel(small.dc, x, y);
        ASSERT_EQ(c, win::GetPixel(large.dc, x + offset, y + offset)) << x << "," << y;
        if (c != Ink) continue;
        ++drawn;
        int sx = (e[0] > x) - (e[0] < x), sy = (e[1] > y) - (e[1] < y);
        bool linked = !sx && !sy;  // the start
        for (auto [nx, ny] : {std::pair{x + sx, y}, {x, y + sy}, {x + sx, y + sy}})
          if (nx != x || ny != y) linked |= win::GetPixel(small.dc, nx, ny) != 0;  // ink, or outside
        EXPECT_TRUE(linked) << "gap before " << x << "," << y;
      }
    EXPECT_GT(drawn, 0);
    if (std::max({e[0], e[1], e[2], e[3]}) < 64 && std::min({e[0], e[1], e[2], e[3]}) >= 0) {
      EXPECT_EQ(drawn, std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1])));
    }
  }
}

TEST(Rectangles, OutlineInsideAndExclusiveEdges) {
  BitmapDC d = WithPenAndBrush(13, 6);
  ASSERT_TRUE(win::Rectangle(d.dc, 6, 5, 1, 1));  // corners either way round
  ASSERT_TRUE(win::Rectangle(d.dc, 7, 0, 8, 6));  // one column wide: all outline
  ASSERT_TRUE(win::Rectangle(d.dc, 0, 0, 0, 6));  // empty
  win::SetPixelV(d.dc, 10, 1, RGB(7, 7, 7));
  win::HGDIOBJ brush = win::SelectObject(d.dc, win::GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(win::Rectangle(d.dc, 9, 0, 13, 3));  // the inside keeps what it had
  win::SelectObject(d.dc, brush);
  win::SelectObject(d.dc, win::GetStockObject(NULL_PEN));
  ASSERT_TRUE(win::Rectangle(d.dc, 9, 3, 13, 6));  // without a pen the fill is one pixel smaller
  EXPECT_EQ(Picture(d, Ink, Brush),
            ".......o.oooo\n"
            ".ooooo.o.o?.o\n"
            ".o###o.o.oooo\n"
            ".o###o.o.###.\n"
            ".ooooo.o.###.\n"
            ".......o.....\n");
}

TEST(Clipping, RegionBoundsEveryOperation) {
  BitmapDC source = gdi_test::MakeBitmapDC(8, 8), d = WithPenAndBrush(12, 12);
  gdi_test::Fill(source, Ink);
  win::HRGN region = win::CreateRectRgn(8, 10, 3, 4);  // the same as (3, 4, 8, 10)
  EXPECT_EQ(win::SelectClipRgn(d.dc, region), SIMPLEREGION);
  EXPECT_TRUE(win::DeleteObject(region));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) win::SetPixelV(d.dc, x, y, Ink);
  win::MoveToEx(d.dc, 0, 0, nullptr);
  win::LineTo(d.dc, 12, 12);
  win::Rectangle(d.dc, -1, -1, 13, 13);
  win::BitBlt(d.dc, 0, 0, 8, 8, source.dc, 0, 0, SRCCOPY);
  win::StretchBlt(d.dc, 0, 0, 12, 12, source.dc, 0, 0, 8, 8, SRCCOPY);
  // Pixels outside the clip read as invalid.
  EXPECT_TRUE(win::GetPixel(d.dc, 2, 4) == CLR_INVALID && win::GetPixel(d.dc, 8, 9) == CLR_INVALID);
  // Without the clip the whole bitmap shows: drawn inside, black outside.
  EXPECT_EQ(win::SelectClipRgn(d.dc, nullptr), SIMPLEREGION);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(win::GetPixel(d.dc, x, y), x >= 3 && x < 8 && y >= 4 && y < 10 ? Ink : 0u) << x << "," << y;
}

TEST(FarCoordinates, NeverReachOutsideTheBitmaps) {
  BitmapDC d = WithPenAndBrush(16, 16);
  win::MoveToEx(d.dc, INT_MIN, 3, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, INT_MAX, 3));
  win::MoveToEx(d.dc, INT_MIN, INT_MIN, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, INT_MAX, INT_MAX));  // passes (i, i) exactly
  win::MoveToEx(d.dc, INT_MAX, 15 - INT_MAX, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 15 - INT_MAX, INT_MAX));  // passes (i, 15 - i) exactly
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(win::GetPixel(d.dc, x, y), y == 3 || x == y || x + y == 15 ? Ink : 0u) << x << "," << y;
  ASSERT_TRUE(win::Rectangle(d.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  for (win::COLORREF c : gdi_test::Pixels(d)) EXPECT_EQ(c, Brush);

  // Transfers of any size and sign, either way between two bitmaps.
  BitmapDC target = gdi_test::MakeBitmapDC(10, 10), source = gdi_test::MakeBitmapDC(5, 5);
  gdi_test::Fill(source, Ink);
  const int extremes[] = {INT_MIN, INT_MIN + 1, -100000, -6, -1, 0, 1, 3, 9, 100000, INT_MAX - 1, INT_MAX};
  for (int a : extremes)
    for (int b : extremes) {
      win::BitBlt(target.dc, a, b, b, a, source.dc, b, a, SRCCOPY);
      win::BitBlt(target.dc, 2, 2, a, b, source.dc, a, b, SRCPAINT);
      win::StretchBlt(target.dc, a, 1, b, 7, source.dc, b, 0, a, 5, SRCCOPY);
      win::StretchBlt(target.dc, 0, 0, 10, 10, source.dc, a, b, a, b, SRCCOPY);
      win::StretchBlt(source.dc, b, a, a % 500, b % 500, target.dc, 0, 0, 10, 10, SRCCOPY);
    }
  // Every pixel is either untouched or copied from a source of ink.
  for (win::COLORREF c : gdi_test::Pixels(target)) EXPECT_TRUE(c == 0 || c == Ink);
}

}  // namespace
