// Selection rules: the previous object comes back, a memory DC starts with its
// own 1 x 1 bitmap, a bitmap is in one DC at a time, and selected objects
// cannot be deleted.
#include <gtest/gtest.h>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

TEST(Selection, MemoryDCStartsWithOneBlackPixel) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(win::GetPixel(dc, 0, 0), 0u);
  EXPECT_EQ(win::GetPixel(dc, 1, 0), CLR_INVALID);
  EXPECT_EQ(win::GetPixel(dc, 0, 1), CLR_INVALID);
  EXPECT_TRUE(win::SetPixelV(dc, 0, 0, RGB(3, 3, 3)));
  EXPECT_EQ(win::GetPixel(dc, 0, 0), RGB(3, 3, 3));
  // Its own bitmap comes back when another is selected, and can go back in;
  // deleting it is refused silently, it goes with the DC.
  win::HBITMAP bitmap = win::CreateCompatibleBitmap(dc, 3, 2);
  win::HGDIOBJ original = win::SelectObject(dc, bitmap);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(win::GetPixel(dc, 2, 1), 0u);  // a new bitmap is black
  EXPECT_TRUE(win::DeleteObject(original));
  EXPECT_EQ(win::SelectObject(dc, original), bitmap);
  EXPECT_EQ(win::GetPixel(dc, 0, 0), RGB(3, 3, 3));
  EXPECT_EQ(win::GetPixel(dc, 2, 1), CLR_INVALID);
  // It belongs to its DC only.
  win::HDC second = win::CreateCompatibleDC(dc);
  EXPECT_EQ(win::SelectObject(second, original), nullptr);
  EXPECT_TRUE(win::DeleteDC(dc));
  EXPECT_FALSE(win::DeleteObject(original));  // gone with its DC
  EXPECT_TRUE(win::DeleteObject(bitmap));
  EXPECT_TRUE(win::DeleteDC(second));
}

TEST(Selection, PreviousObjectsComeBack) {
  BitmapDC d = MakeBitmapDC(2, 2);
  win::HPEN red = win::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), blue = win::CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  win::HBRUSH green = win::CreateSolidBrush(RGB(0, 255, 0));
  EXPECT_EQ(win::SelectObject(d.dc, red), win::GetStockObject(BLACK_PEN));
  EXPECT_EQ(win::SelectObject(d.dc, blue), red);
  EXPECT_EQ(win::SelectObject(d.dc, blue), blue);
  EXPECT_EQ(win::SelectObject(d.dc, green), win::GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(win::SelectObject(d.dc, win::GetStockObject(NULL_BRUSH)), green);
  win::HBITMAP other = win::CreateCompatibleBitmap(d.dc, 1, 1);
  EXPECT_EQ(win::SelectObject(d.dc, other), d.bitmap);
  EXPECT_EQ(win::SelectObject(d.dc, d.bitmap), other);
}

TEST(Selection, SelectedObjectsCannotBeDeleted) {
  BitmapDC a = MakeBitmapDC(2, 2), b = MakeBitmapDC(2, 2);
  // A bitmap in one DC cannot go into another.
  EXPECT_EQ(win::SelectObject(b.dc, a.bitmap), nullptr);
  EXPECT_FALSE(win::DeleteObject(a.bitmap));
  win::SelectObject(a.dc, a.original);
  EXPECT_NE(win::SelectObject(b.dc, a.bitmap), nullptr);
  EXPECT_FALSE(win::DeleteObject(a.bitmap));
  EXPECT_TRUE(win::DeleteObject(b.bitmap));  // b gave its first bitmap back
  // A pen in two DCs is deletable only after leaving both.
  win::HPEN pen = win::CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
  win::SelectObject(a.dc, pen);
  win::SelectObject(b.dc, pen);
  EXPECT_FALSE(win::DeleteObject(pen));
  win::SelectObject(a.dc, win::GetStockObject(BLACK_PEN));
  EXPECT_FALSE(win::DeleteObject(pen));
  win::SelectObject(b.dc, win::GetStockObject(BLACK_PEN));
  EXPECT_TRUE(win::DeleteObject(pen));
  // A brush is released by the end of its DC.
  win::HBRUSH brush = win::CreateSolidBrush(RGB(2, 2, 2));
  win::SelectObject(a.dc, brush);
  EXPECT_FALSE(win::DeleteObject(brush));
  EXPECT_TRUE(win::DeleteDC(a.dc));
  EXPECT_TRUE(win::DeleteObject(brush));
  win::SelectObject(b.dc, b.original);
  EXPECT_TRUE(win::DeleteObject(a.bitmap));
}

TEST(Selection, CompatibleBitmapSizes) {
  BitmapDC d = MakeBitmapDC(1, 1);
  win::SetLastError(0);
  EXPECT_EQ(win::CreateCompatibleBitmap(d.dc, -1, 4), nullptr);
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(win::CreateCompatibleBitmap(d.dc, 100000, 100000), nullptr);
  win::HBITMAP empty = win::CreateCompatibleBitmap(d.dc, 0, 5);  // becomes 1 x 1
  ASSERT_NE(empty, nullptr);
  win::SelectObject(d.dc, empty);
  EXPECT_EQ(win::GetPixel(d.dc, 0, 0), 0u);
  EXPECT_EQ(win::GetPixel(d.dc, 0, 1), CLR_INVALID);
  EXPECT_EQ(win::CreatePen(99, 1, 0), nullptr);
}

}  // namespace
