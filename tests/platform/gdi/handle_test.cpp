// Checked handles: stale, foreign and wrong-typed handles fail with
// ERROR_INVALID_HANDLE and change nothing; selection gives back the previous
// object, and nothing a DC holds can be freed under it.
#include <gtest/gtest.h>

#include <iterator>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

// The last error a call leaves, cleared before it.
template <typename Call>
win::DWORD ErrorOf(Call call) {
  win::SetLastError(0);
  call();
  return win::GetLastError();
}

win::HDC Valid;  // the other DC of the transfers
win::HGDIOBJ Value(intptr_t v) {
  return reinterpret_cast<win::HGDIOBJ>(v);
}
// Each call that takes a DC, true when it succeeds.
bool (*const DCCalls[])(win::HDC) = {
    [](win::HDC h) { return win::SetPixelV(h, 0, 0, 1) != FALSE; },
    [](win::HDC h) { return win::GetPixel(h, 0, 0) != CLR_INVALID; },
    [](win::HDC h) { return win::MoveToEx(h, 1, 1, nullptr) != FALSE; },
    [](win::HDC h) { return win::LineTo(h, 2, 2) != FALSE; },
    [](win::HDC h) { return win::Rectangle(h, 0, 0, 2, 2) != FALSE; },
    [](win::HDC h) { return win::BitBlt(h, 0, 0, 2, 2, nullptr, 0, 0, BLACKNESS) != FALSE; },
    [](win::HDC h) { return win::BitBlt(Valid, 0, 0, 2, 2, h, 0, 0, SRCCOPY) != FALSE; },
    [](win::HDC h) { return win::StretchBlt(Valid, 0, 0, 2, 2, h, 0, 0, 1, 1, SRCCOPY) != FALSE; },
    [](win::HDC h) { return win::SelectObject(h, win::GetStockObject(BLACK_PEN)) != nullptr; },
    [](win::HDC h) { return win::SelectClipRgn(h, nullptr) != ERROR; },
    [](win::HDC h) { return win::CreateCompatibleBitmap(h, 2, 2) != nullptr; },
    [](win::HDC h) { return win::DeleteDC(h) != FALSE; },
};

TEST(Handles, StaleForeignAndWrongTypedHandlesFailWithoutEffect) {
  BitmapDC d = MakeBitmapDC(4, 4), deleted = MakeBitmapDC(2, 2);
  Valid = d.dc;
  win::HRGN region = win::CreateRectRgn(0, 0, 1, 1);
  int local = 0;
  // Not objects: deleted ones (their slots reused, their values never), values
  // that never were handles, a deleted DC and a live one.
  std::vector<win::HGDIOBJ> notObjects = {win::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)),
                                          win::CreateSolidBrush(RGB(4, 5, 6)), region,
                                          win::CreateCompatibleBitmap(d.dc, 2, 2)};
  for (win::HGDIOBJ h : notObjects) ASSERT_TRUE(h && win::DeleteObject(h));
  for (int i = 0; i < 50; ++i) {
    notObjects.push_back(win::CreateSolidBrush(RGB(7, 8, 9)));
    ASSERT_TRUE(win::DeleteObject(notObjects.back()));
  }
  ASSERT_TRUE(win::DeleteDC(deleted.dc));
  std::vector<win::HGDIOBJ> notDCs = {Value(1), Value(31), Value(-1), &local, deleted.dc, nullptr};
  notObjects.insert(notObjects.end(), notDCs.begin(), notDCs.end());
  notObjects.push_back(d.dc);
  notDCs.insert(notDCs.end(), {win::CreatePen(PS_SOLID, 1, 0), d.bitmap});
  for (win::HGDIOBJ h : notObjects) {
    EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(win::DeleteObject(h)); }), ERROR_INVALID_HANDLE) << h;
    EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(win::SelectObject(d.dc, h), nullptr); }), ERROR_INVALID_HANDLE) << h;
  }
  for (win::HGDIOBJ h : notDCs)
    for (size_t i = 0; i < std::size(DCCalls); ++i)
      EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(DCCalls[i](static_cast<win::HDC>(h))); }), ERROR_INVALID_HANDLE)
          << "call " << i << " with " << h;
  EXPECT_EQ(win::CreateCompatibleDC(deleted.dc), nullptr);
  EXPECT_TRUE(win::DeleteObject(deleted.bitmap));  // given back by the deleted DC
  EXPECT_EQ(win::SelectClipRgn(d.dc, region), ERROR);
  EXPECT_EQ(win::SelectClipRgn(d.dc, static_cast<win::HRGN>(win::GetStockObject(BLACK_PEN))), ERROR);

  // The DC kept its 4 x 4 bitmap, black pen and white brush, and no clip.
  gdi_test::Fill(d, RGB(5, 5, 5));
  ASSERT_TRUE(win::Rectangle(d.dc, 0, 0, 4, 4));
  EXPECT_TRUE(win::GetPixel(d.dc, 3, 3) == 0 && win::GetPixel(d.dc, 2, 2) == 0xFFFFFF);
  EXPECT_EQ(win::CreateCompatibleBitmap(d.dc, 100000, 100000), nullptr);  // refused, not attempted
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
  EXPECT_TRUE(win::DeleteObject(win::GetStockObject(WHITE_PEN)));  // deletes nothing
  EXPECT_EQ(win::SelectObject(d.dc, win::GetStockObject(WHITE_PEN)), blue);
}

TEST(Selection, HeldObjectsCannotBeDeleted) {
  BitmapDC a = MakeBitmapDC(2, 2), b = MakeBitmapDC(2, 2);
  win::HBRUSH brush = win::CreateSolidBrush(RGB(2, 2, 2));
  win::SelectObject(a.dc, brush);                           // released with its DC
  EXPECT_EQ(win::SelectObject(b.dc, a.bitmap), nullptr);    // one DC at a time
  EXPECT_EQ(win::SelectObject(b.dc, a.original), nullptr);  // a DC's own bitmap stays with it
  EXPECT_FALSE(win::DeleteObject(a.bitmap) || win::DeleteObject(brush));
  EXPECT_TRUE(win::DeleteObject(a.original));  // refused silently: it goes with its DC
  EXPECT_EQ(win::SelectObject(a.dc, a.original), a.bitmap);
  EXPECT_TRUE(win::SetPixelV(a.dc, 0, 0, 5) && win::GetPixel(a.dc, 0, 0) == 5u);
  EXPECT_TRUE(win::DeleteDC(a.dc));
  EXPECT_TRUE(win::DeleteObject(brush) && win::DeleteObject(a.bitmap));
  EXPECT_FALSE(win::DeleteObject(a.original));
}

// Ended DCs and their slots are reused by new ones: the old handles reach none.
TEST(Handles, DeletedDCsStayDeletedWhenTheirPlacesAreReused) {
  std::vector<win::HDC> deleted;
  for (int round = 0; round < 20; ++round) {
    BitmapDC d = MakeBitmapDC(2, 2);
    deleted.push_back(d.dc);
    ASSERT_TRUE(win::DeleteDC(d.dc) && win::DeleteObject(d.bitmap));
  }
  BitmapDC live = MakeBitmapDC(2, 2);
  for (win::HDC h : deleted) {
    EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(win::SetPixelV(h, 1, 1, 9)); }), ERROR_INVALID_HANDLE) << h;
    EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(win::GetPixel(h, 1, 1), CLR_INVALID); }), ERROR_INVALID_HANDLE) << h;
  }
  EXPECT_EQ(gdi_test::Pixels(live), (std::vector<win::COLORREF>{0, 0, 0, 0}));
}

}  // namespace
