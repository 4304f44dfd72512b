// Checked handles: stale, foreign and wrong-typed handles fail with
// ERROR_INVALID_HANDLE and change nothing; stock objects are never deleted.
#include <gtest/gtest.h>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

// The call's result, with the last error it left (cleared before the call).
template <typename Call>
win::DWORD ErrorOf(Call call) {
  win::SetLastError(0);
  call();
  return win::GetLastError();
}

TEST(Handles, StaleHandlesFailWithoutEffect) {
  BitmapDC d = MakeBitmapDC(4, 4), other = MakeBitmapDC(4, 4);
  win::HPEN pen = win::CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  win::HBRUSH brush = win::CreateSolidBrush(RGB(4, 5, 6));
  win::HRGN region = win::CreateRectRgn(0, 0, 1, 1);
  win::HBITMAP bitmap = win::CreateCompatibleBitmap(d.dc, 2, 2);
  ASSERT_TRUE(pen && brush && region && bitmap);
  for (win::HGDIOBJ h : {static_cast<win::HGDIOBJ>(pen), static_cast<win::HGDIOBJ>(brush),
                         static_cast<win::HGDIOBJ>(region), static_cast<win::HGDIOBJ>(bitmap)}) {
    ASSERT_TRUE(win::DeleteObject(h));
    EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(win::DeleteObject(h)); }), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(win::SelectObject(d.dc, h), nullptr); }), ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(win::SelectClipRgn(d.dc, region), ERROR);
  // The DC kept what it had: its bitmap and the black pen.
  win::MoveToEx(d.dc, 0, 0, nullptr);
  win::SetPixelV(d.dc, 1, 0, 0xFFFFFF);
  win::LineTo(d.dc, 3, 0);
  EXPECT_EQ(win::GetPixel(d.dc, 1, 0), 0u);

  // A deleted DC refuses every operation.
  ASSERT_TRUE(win::DeleteDC(other.dc));
  win::HDC stale = other.dc;
  EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(win::SetPixelV(stale, 0, 0, 1)); }), ERROR_INVALID_HANDLE);
  EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(win::GetPixel(stale, 0, 0), CLR_INVALID); }), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(win::MoveToEx(stale, 1, 1, nullptr));
  EXPECT_FALSE(win::LineTo(stale, 2, 2));
  EXPECT_FALSE(win::Rectangle(stale, 0, 0, 2, 2));
  EXPECT_FALSE(win::BitBlt(stale, 0, 0, 2, 2, nullptr, 0, 0, BLACKNESS));
  EXPECT_FALSE(win::BitBlt(d.dc, 0, 0, 2, 2, stale, 0, 0, SRCCOPY));
  EXPECT_FALSE(win::StretchBlt(d.dc, 0, 0, 2, 2, stale, 0, 0, 1, 1, SRCCOPY));
  EXPECT_EQ(win::SelectObject(stale, win::GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_EQ(win::SelectClipRgn(stale, nullptr), ERROR);
  EXPECT_EQ(win::CreateCompatibleDC(stale), nullptr);
  EXPECT_EQ(win::CreateCompatibleBitmap(stale, 2, 2), nullptr);
  EXPECT_FALSE(win::DeleteDC(stale));
  // Its bitmap was given back and can be deleted now.
  EXPECT_TRUE(win::DeleteObject(other.bitmap));
}

TEST(Handles, ReusedSlotsStillRefuseOldHandles) {
  std::vector<win::HBRUSH> old;
  for (int i = 0; i < 50; ++i) {
    win::HBRUSH b = win::CreateSolidBrush(static_cast<win::COLORREF>(i));
    ASSERT_NE(b, nullptr);
    for (win::HBRUSH o : old) ASSERT_NE(b, o) << "a handle value came back";
    old.push_back(b);
    ASSERT_TRUE(win::DeleteObject(b));
  }
  BitmapDC d = MakeBitmapDC(1, 1);
  win::HBRUSH fresh = win::CreateSolidBrush(RGB(9, 9, 9));
  for (win::HBRUSH o : old) EXPECT_EQ(win::SelectObject(d.dc, o), nullptr);
  EXPECT_NE(win::SelectObject(d.dc, fresh), nullptr);
  win::BitBlt(d.dc, 0, 0, 1, 1, nullptr, 0, 0, PATCOPY);
  EXPECT_EQ(win::GetPixel(d.dc, 0, 0), RGB(9, 9, 9));
}

TEST(Handles, WrongTypesAndForeignValuesAreRefused) {
  BitmapDC d = MakeBitmapDC(2, 2);
  win::HPEN pen = win::CreatePen(PS_SOLID, 1, 0);
  int local = 0;
  const win::HDC foreign[] = {reinterpret_cast<win::HDC>(pen),
                              reinterpret_cast<win::HDC>(d.bitmap),
                              reinterpret_cast<win::HDC>(1),
                              reinterpret_cast<win::HDC>(31),
                              reinterpret_cast<win::HDC>(-1),
                              reinterpret_cast<win::HDC>(&local),
                              nullptr};
  for (win::HDC h : foreign) {
    EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(win::SetPixelV(h, 0, 0, 1)); }), ERROR_INVALID_HANDLE) << h;
    EXPECT_EQ(win::GetPixel(h, 0, 0), CLR_INVALID);
    EXPECT_FALSE(win::DeleteDC(h));
    EXPECT_FALSE(win::Rectangle(h, 0, 0, 1, 1));
    if (h != reinterpret_cast<win::HDC>(pen) && h != reinterpret_cast<win::HDC>(d.bitmap)) {
      EXPECT_EQ(win::SelectObject(d.dc, h), nullptr) << h;  // no object at all
    }
  }
  // A DC is no object for DeleteObject, a pen no region, a brush no bitmap.
  EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(win::DeleteObject(d.dc)); }), ERROR_INVALID_HANDLE);
  EXPECT_EQ(win::SelectClipRgn(d.dc, reinterpret_cast<win::HRGN>(pen)), ERROR);
  EXPECT_EQ(win::SelectObject(d.dc, d.dc), nullptr);
  EXPECT_EQ(win::GetPixel(d.dc, 1, 1), 0u);  // the DC still works
}

TEST(Handles, StockObjects) {
  for (int i = WHITE_BRUSH; i <= NULL_PEN; ++i) {
    win::HGDIOBJ h = win::GetStockObject(i);
    ASSERT_NE(h, nullptr) << i;
    EXPECT_EQ(win::GetStockObject(i), h);
    EXPECT_TRUE(win::DeleteObject(h));  // reports success, deletes nothing
  }
  EXPECT_EQ(win::GetStockObject(-1), nullptr);
  EXPECT_EQ(win::GetStockObject(9), nullptr);
  const win::COLORREF brushes[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
  BitmapDC d = MakeBitmapDC(1, 1);
  for (int i = WHITE_BRUSH; i <= BLACK_BRUSH; ++i) {
    win::SelectObject(d.dc, win::GetStockObject(i));
    win::BitBlt(d.dc, 0, 0, 1, 1, nullptr, 0, 0, PATCOPY);
    EXPECT_EQ(win::GetPixel(d.dc, 0, 0), brushes[i]) << i;
  }
  win::SelectObject(d.dc, win::GetStockObject(WHITE_PEN));
  win::MoveToEx(d.dc, 0, 0, nullptr);
  win::LineTo(d.dc, 1, 0);
  EXPECT_EQ(win::GetPixel(d.dc, 0, 0), 0xFFFFFFu);
}

}  // namespace
