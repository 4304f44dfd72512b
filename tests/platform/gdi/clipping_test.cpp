// A clip region bounds every operation; its selection copies the region; and
// transfers of any size or sign stay inside both bitmaps.
#include <gtest/gtest.h>

#include <climits>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

constexpr win::COLORREF Ink = RGB(0, 255, 0);

// Every pixel outside the box [left, right) x [top, bottom) is still black.
::testing::AssertionResult NothingOutside(const BitmapDC& d, int left, int top, int right, int bottom) {
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x) {
      bool inside = x >= left && x < right && y >= top && y < bottom;
      if (!inside && win::GetPixel(d.dc, x, y) != 0)
        return ::testing::AssertionFailure() << "drawn at " << x << "," << y;
    }
  return ::testing::AssertionSuccess();
}

TEST(Clipping, RegionBoundsEveryOperation) {
  BitmapDC source = MakeBitmapDC(8, 8);
  gdi_test::Fill(source, Ink);
  auto draw = [&](win::HDC dc) {
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) win::SetPixelV(dc, x, y, Ink);
    win::MoveToEx(dc, 0, 0, nullptr);
    win::LineTo(dc, 12, 12);
    win::Rectangle(dc, -1, -1, 13, 13);
    win::BitBlt(dc, 0, 0, 12, 12, nullptr, 0, 0, WHITENESS);
    win::BitBlt(dc, 0, 0, 8, 8, source.dc, 0, 0, SRCCOPY);
    win::StretchBlt(dc, 0, 0, 12, 12, source.dc, 0, 0, 8, 8, SRCCOPY);
  };
  BitmapDC d = MakeBitmapDC(12, 12);
  win::HRGN region = win::CreateRectRgn(3, 4, 8, 10);
  EXPECT_EQ(win::SelectClipRgn(d.dc, region), SIMPLEREGION);
  EXPECT_TRUE(win::DeleteObject(region));  // the DC keeps its own copy
  win::SelectObject(d.dc, win::CreatePen(PS_SOLID, 1, Ink));
  draw(d.dc);
  EXPECT_NE(win::GetPixel(d.dc, 3, 4), CLR_INVALID);
  EXPECT_NE(win::GetPixel(d.dc, 7, 9), CLR_INVALID);
  // Pixels outside the clip read as invalid, and cannot be set.
  EXPECT_EQ(win::GetPixel(d.dc, 2, 4), CLR_INVALID);
  EXPECT_EQ(win::GetPixel(d.dc, 8, 9), CLR_INVALID);
  EXPECT_FALSE(win::SetPixelV(d.dc, 3, 10, Ink));
  EXPECT_TRUE(win::SetPixelV(d.dc, 3, 9, Ink));
  // Removing the clip makes the whole bitmap reachable again.
  EXPECT_EQ(win::SelectClipRgn(d.dc, nullptr), SIMPLEREGION);
  EXPECT_TRUE(NothingOutside(d, 3, 4, 8, 10));
  EXPECT_EQ(win::GetPixel(d.dc, 7, 9), Ink);
  EXPECT_EQ(win::GetPixel(d.dc, 0, 0), 0u);
  EXPECT_EQ(win::GetPixel(d.dc, 11, 11), 0u);
  EXPECT_EQ(win::GetPixel(d.dc, 12, 0), CLR_INVALID);
  EXPECT_EQ(win::GetPixel(d.dc, -1, 0), CLR_INVALID);
}

TEST(Clipping, RegionTypesAndSelection) {
  BitmapDC d = MakeBitmapDC(4, 4);
  win::HRGN empty = win::CreateRectRgn(2, 2, 2, 5);
  win::HRGN reversed = win::CreateRectRgn(3, 3, 1, 1);  // the same as (1, 1, 3, 3)
  EXPECT_EQ(win::SelectClipRgn(d.dc, empty), NULLREGION);
  EXPECT_FALSE(win::SetPixelV(d.dc, 2, 2, Ink));
  EXPECT_EQ(win::GetPixel(d.dc, 2, 2), CLR_INVALID);
  // Selecting a region with SelectObject clips the same way and gives its type.
  EXPECT_EQ(reinterpret_cast<intptr_t>(win::SelectObject(d.dc, reversed)), SIMPLEREGION);
  win::BitBlt(d.dc, 0, 0, 4, 4, nullptr, 0, 0, WHITENESS);
  win::SelectClipRgn(d.dc, nullptr);
  EXPECT_TRUE(NothingOutside(d, 1, 1, 3, 3));
  EXPECT_EQ(gdi_test::Picture(d, 0, 0xFFFFFF),
            "....\n"
            ".##.\n"
            ".##.\n"
            "....\n");
  // A handle that is no region fails and keeps the clip as it was.
  win::SelectClipRgn(d.dc, reversed);
  EXPECT_EQ(win::SelectClipRgn(d.dc, reinterpret_cast<win::HRGN>(win::GetStockObject(BLACK_BRUSH))), ERROR);
  EXPECT_EQ(win::GetPixel(d.dc, 0, 0), CLR_INVALID);
  EXPECT_EQ(win::SelectClipRgn(nullptr, reversed), ERROR);
}

TEST(Clipping, TransfersOfAnySizeStayInsideBothBitmaps) {
  BitmapDC target = MakeBitmapDC(10, 10), source = MakeBitmapDC(5, 5);
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

TEST(Clipping, NegativeExtentsAndSourceEdges) {
  BitmapDC target = MakeBitmapDC(6, 3), source = MakeBitmapDC(3, 1);
  for (int x = 0; x < 3; ++x) win::SetPixelV(source.dc, x, 0, static_cast<win::COLORREF>(x + 1));
  // A negative width covers the columns left of x, from the source's columns
  // left of x1, in the same order.
  ASSERT_TRUE(win::BitBlt(target.dc, 3, 0, -3, 1, source.dc, 3, 0, SRCCOPY));
  // A block reaching past the source's edge copies only what the source has.
  ASSERT_TRUE(win::BitBlt(target.dc, 2, 1, 4, 1, source.dc, 1, 0, SRCCOPY));
  ASSERT_TRUE(win::BitBlt(target.dc, 0, 2, 3, 1, source.dc, -2, 0, SRCCOPY));
  std::vector<win::COLORREF> expected = {1, 2, 3, 0, 0, 0,  //
                                         0, 0, 2, 3, 0, 0,  //
                                         0, 0, 1, 0, 0, 0};
  EXPECT_EQ(gdi_test::Pixels(target), expected);
}

}  // namespace
