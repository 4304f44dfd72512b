// Lines from the current position: end point not drawn, every direction, the
// position moves on, and clipping never changes which pixels a line covers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

constexpr win::COLORREF Ink = RGB(255, 255, 0);

BitmapDC WithPen(int width, int height) {
  BitmapDC d = MakeBitmapDC(width, height);
  win::SelectObject(d.dc, win::CreatePen(PS_SOLID, 1, Ink));
  return d;
}

TEST(Lines, EndPointIsNotDrawnInAnyDirection) {
  BitmapDC d = WithPen(8, 8);
  win::MoveToEx(d.dc, 1, 1, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 5, 1));  // right
  win::MoveToEx(d.dc, 6, 6, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 6, 2));  // up
  win::MoveToEx(d.dc, 4, 7, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 0, 3));  // diagonal, up and left
  EXPECT_EQ(gdi_test::Picture(d, 0, Ink),
            "........\n"
            ".####...\n"
            "........\n"
            "......#.\n"
            ".#....#.\n"
            "..#...#.\n"
            "...#..#.\n"
            "....#...\n");
}

TEST(Lines, PositionMovesAndIsReported) {
  BitmapDC d = WithPen(6, 6);
  win::POINT previous{-1, -1};
  ASSERT_TRUE(win::MoveToEx(d.dc, 1, 1, &previous));
  EXPECT_EQ(previous.x, 0);  // a new DC starts at the origin
  EXPECT_EQ(previous.y, 0);
  win::LineTo(d.dc, 4, 1);
  win::LineTo(d.dc, 4, 4);  // continues from (4, 1), which the first line left out
  ASSERT_TRUE(win::MoveToEx(d.dc, 0, 0, &previous));
  EXPECT_EQ(previous.x, 4);
  EXPECT_EQ(previous.y, 4);
  EXPECT_EQ(gdi_test::Picture(d, 0, Ink),
            "......\n"
            ".####.\n"
            "....#.\n"
            "....#.\n"
            "......\n"
            "......\n");
  // A line to where it starts draws nothing; an invisible pen draws nothing
  // but moves the position.
  win::MoveToEx(d.dc, 2, 4, nullptr);
  win::LineTo(d.dc, 2, 4);
  EXPECT_EQ(win::GetPixel(d.dc, 2, 4), 0u);
  win::SelectObject(d.dc, win::CreatePen(PS_NULL, 1, Ink));
  win::LineTo(d.dc, 0, 4);
  EXPECT_EQ(win::GetPixel(d.dc, 1, 4), 0u);
  win::MoveToEx(d.dc, 0, 0, &previous);
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 4);
}

TEST(Lines, ArbitraryLinesAreConnectedAndOfMajorLength) {
  const int ends[][4] = {{0, 0, 17, 5}, {17, 5, 0, 0}, {3, 19, 9, 0}, {19, 19, 0, 12}, {2, 7, 18, 8}, {10, 1, 11, 18}};
  for (const auto& e : ends) {
    BitmapDC d = WithPen(20, 20);
    win::MoveToEx(d.dc, e[0], e[1], nullptr);
    win::LineTo(d.dc, e[2], e[3]);
    int length = std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1]));
    int count = 0;
    for (win::COLORREF c : gdi_test::Pixels(d)) count += c == Ink;
    EXPECT_EQ(count, length) << e[0] << "," << e[1] << " to " << e[2] << "," << e[3];
    EXPECT_EQ(win::GetPixel(d.dc, e[0], e[1]), Ink);
    EXPECT_EQ(win::GetPixel(d.dc, e[2], e[3]), 0u);
    // Each drawn pixel but the start has a drawn neighbour closer to the start.
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        if (win::GetPixel(d.dc, x, y) != Ink || (x == e[0] && y == e[1])) continue;
        int sx = (e[0] > x) - (e[0] < x), sy = (e[1] > y) - (e[1] < y);
        bool linked = (sx && win::GetPixel(d.dc, x + sx, y) == Ink) || (sy && win::GetPixel(d.dc, x, y + sy) == Ink) ||
                      (sx && sy && win::GetPixel(d.dc, x + sx, y + sy) == Ink);
        EXPECT_TRUE(linked) << "gap before " << x << "," << y;
      }
  }
}

// The same line drawn into a large bitmap without clipping and into a small
// one where it mostly lies outside: the pixels that both show must agree.
TEST(Lines, ClippingKeepsTheUnclippedPixels) {
  const int ends[][4] = {{-590, 7, 60, 20},  {60, 20, -590, 7},   {5, -590, 20, 50}, {-500, -400, 70, 60},
                         {40, -10, -30, 90}, {-1, 590, 63, -590}, {0, 63, 63, 0},    {-599, 31, 599, 32}};
  const int offset = 600;
  BitmapDC large = WithPen(1264, 1264);
  for (const auto& e : ends) {
    BitmapDC small = WithPen(64, 64);
    win::BitBlt(large.dc, 0, 0, large.width, large.height, nullptr, 0, 0, BLACKNESS);
    win::MoveToEx(small.dc, e[0], e[1], nullptr);
    win::LineTo(small.dc, e[2], e[3]);
    win::MoveToEx(large.dc, e[0] + offset, e[1] + offset, nullptr);
    win::LineTo(large.dc, e[2] + offset, e[3] + offset);
    int mismatches = 0, drawn = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        win::COLORREF c = win::GetPixel(small.dc, x, y);
        drawn += c == Ink;
        mismatches += c != win::GetPixel(large.dc, x + offset, y + offset);
      }
    EXPECT_EQ(mismatches, 0) << e[0] << "," << e[1] << " to " << e[2] << "," << e[3];
    EXPECT_GT(drawn, 0);
  }
}

TEST(Lines, ExtremeCoordinatesStayInsideTheBitmap) {
  BitmapDC d = WithPen(16, 16);
  win::MoveToEx(d.dc, INT_MIN, 3, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, INT_MAX, 3));
  win::MoveToEx(d.dc, INT_MIN, INT_MIN, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, INT_MAX, INT_MAX));  // passes (i, i) exactly
  win::MoveToEx(d.dc, INT_MAX, 15 - INT_MAX, nullptr);
  ASSERT_TRUE(win::LineTo(d.dc, 15 - INT_MAX, INT_MAX));  // passes (i, 15 - i) exactly
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      bool onRow = y == 3, onDiagonal = x == y || x + y == 15;
      win::COLORREF c = win::GetPixel(d.dc, x, y);
      EXPECT_EQ(c, onRow || onDiagonal ? Ink : 0u) << x << "," << y;
    }
}

}  // namespace
