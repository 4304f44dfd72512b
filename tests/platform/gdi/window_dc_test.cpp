// Device contexts of a window: they draw into its surface within their clip,
// report each call's change as one bounding box, and work as the source and
// the target of transfers.
#include <gtest/gtest.h>

#include <memory>

#include "platform/posix/gdi/window_surface.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;
using win::stand_in::WindowSurface;

std::shared_ptr<WindowSurface> Surface(int width, int height) {
  auto surface = std::make_shared<WindowSurface>();
  surface->Resize(width, height);
  return surface;
}

win::COLORREF At(const WindowSurface& s, int x, int y) {
  return s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
}

::testing::AssertionResult DamageIs(WindowSurface& s, win::RECT expected) {
  win::RECT r{};
  if (!s.TakeDamage(r)) return ::testing::AssertionFailure() << "no damage";
  if (r.left != expected.left || r.top != expected.top || r.right != expected.right || r.bottom != expected.bottom)
    return ::testing::AssertionFailure() << "damage " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  return ::testing::AssertionSuccess();
}

TEST(WindowDC, DrawsIntoTheSurfaceWithOneDamageBoxPerCall) {
  auto surface = Surface(20, 10);
  win::HDC dc = win::stand_in::CreateWindowDC(surface, win::RECT{2, 1, 18, 9});
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(win::stand_in::SurfaceOfDC(dc), surface);
  win::RECT none{};
  EXPECT_FALSE(surface->TakeDamage(none));

  ASSERT_TRUE(win::SetPixelV(dc, 5, 4, RGB(1, 2, 3)));
  EXPECT_EQ(At(*surface, 5, 4), RGB(1, 2, 3));
  EXPECT_EQ(win::GetPixel(dc, 5, 4), RGB(1, 2, 3));
  EXPECT_TRUE(DamageIs(*surface, {5, 4, 6, 5}));
  EXPECT_FALSE(surface->TakeDamage(none));  // taken

  win::SelectObject(dc, win::GetStockObject(WHITE_PEN));
  win::MoveToEx(dc, 16, 2, nullptr);
  win::LineTo(dc, 6, 7);
  EXPECT_EQ(At(*surface, 16, 2), 0xFFFFFFu);
  EXPECT_EQ(At(*surface, 7, 7), 0xFFFFFFu);
  EXPECT_EQ(At(*surface, 6, 7), 0u);  // the end point is not drawn
  EXPECT_TRUE(DamageIs(*surface, {7, 2, 17, 8}));

  // Beyond the DC's area nothing changes and nothing is reported.
  EXPECT_FALSE(win::SetPixelV(dc, 1, 4, RGB(9, 9, 9)));
  EXPECT_FALSE(win::SetPixelV(dc, 18, 4, RGB(9, 9, 9)));
  EXPECT_EQ(win::GetPixel(dc, 1, 4), CLR_INVALID);
  EXPECT_EQ(At(*surface, 1, 4), 0u);
  EXPECT_FALSE(surface->TakeDamage(none));

  // A rectangle over everything is clipped to the area, and so is its damage.
  win::SelectObject(dc, win::GetStockObject(GRAY_BRUSH));
  win::Rectangle(dc, -5, -5, 50, 50);
  EXPECT_TRUE(DamageIs(*surface, {2, 1, 18, 9}));
  EXPECT_EQ(At(*surface, 2, 1), RGB(128, 128, 128));
  EXPECT_EQ(At(*surface, 1, 1), 0u);
  EXPECT_EQ(At(*surface, 18, 9), 0u);
  EXPECT_TRUE(win::stand_in::ReleaseWindowDC(dc));
}

TEST(WindowDC, PaintCopiesTheUpdateAreaFromABitmap) {
  auto surface = Surface(16, 12);
  BitmapDC picture = MakeBitmapDC(16, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) win::SetPixelV(picture.dc, x, y, static_cast<win::COLORREF>(y * 16 + x + 1));
  // A paint DC is clipped to the update rectangle; the whole picture is offered.
  win::HDC paint = win::stand_in::CreateWindowDC(surface, win::RECT{4, 3, 10, 8});
  ASSERT_TRUE(win::BitBlt(paint, 0, 0, 16, 12, picture.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(DamageIs(*surface, {4, 3, 10, 8}));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      bool updated = x >= 4 && x < 10 && y >= 3 && y < 8;
      ASSERT_EQ(At(*surface, x, y), updated ? static_cast<win::COLORREF>(y * 16 + x + 1) : 0u) << x << "," << y;
    }
  win::stand_in::ReleaseWindowDC(paint);

  // Reading back from a window DC: its pixels, not limited to its clip.
  win::HDC client = win::stand_in::CreateWindowDC(surface, win::RECT{0, 0, 1, 1});
  BitmapDC copy = MakeBitmapDC(16, 12);
  ASSERT_TRUE(win::BitBlt(copy.dc, 0, 0, 16, 12, client, 0, 0, SRCCOPY));
  EXPECT_EQ(win::GetPixel(copy.dc, 5, 4), static_cast<win::COLORREF>(4 * 16 + 5 + 1));
  EXPECT_EQ(win::GetPixel(copy.dc, 0, 0), 0u);
  // And from one window DC into another of the same surface.
  win::HDC whole = win::stand_in::CreateWindowDC(surface, win::RECT{0, 0, 16, 12});
  ASSERT_TRUE(win::StretchBlt(whole, 0, 0, 2, 2, client, 5, 4, 1, 1, SRCCOPY));
  EXPECT_EQ(At(*surface, 1, 1), static_cast<win::COLORREF>(4 * 16 + 5 + 1));
  win::stand_in::ReleaseWindowDC(client);
  win::stand_in::ReleaseWindowDC(whole);
}

TEST(WindowDC, ResizeKeepsOverlapAndClipsLaterDrawing) {
  auto surface = Surface(4, 3);
  win::HDC dc = win::stand_in::CreateWindowDC(surface, win::RECT{0, 0, 100, 100});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) win::SetPixelV(dc, x, y, static_cast<win::COLORREF>(10 * y + x + 1));
  surface->Resize(6, 2);
  ASSERT_EQ(surface->pixels.size(), 12u);
  std::vector<win::COLORREF> expected = {1, 2, 3, 4, 0, 0, 11, 12, 13, 14, 0, 0};
  EXPECT_EQ(surface->pixels, expected);
  win::RECT r{};
  ASSERT_TRUE(surface->TakeDamage(r));
  EXPECT_LE(r.right, 6);  // damage never beyond the surface
  EXPECT_LE(r.bottom, 2);
  // Drawing follows the new size.
  EXPECT_TRUE(win::SetPixelV(dc, 5, 1, 7));
  EXPECT_FALSE(win::SetPixelV(dc, 3, 2, 7));
  win::SelectObject(dc, win::GetStockObject(WHITE_BRUSH));
  win::Rectangle(dc, 0, 0, 100, 100);
  EXPECT_EQ(surface->pixels[11], 0xFFFFFFu);
  surface->Resize(0, 0);
  EXPECT_FALSE(win::SetPixelV(dc, 0, 0, 7));
  EXPECT_TRUE(win::BitBlt(dc, 0, 0, 10, 10, nullptr, 0, 0, WHITENESS));
  win::stand_in::ReleaseWindowDC(dc);
}

TEST(WindowDC, LifetimeAndWhatItAccepts) {
  std::weak_ptr<WindowSurface> watched;
  win::HDC dc;
  {
    auto surface = Surface(3, 3);
    watched = surface;
    dc = win::stand_in::CreateWindowDC(surface, win::RECT{0, 0, 3, 3});
  }
  // The DC keeps its surface alive and still draws into it.
  ASSERT_FALSE(watched.expired());
  EXPECT_TRUE(win::SetPixelV(dc, 2, 2, 5));
  EXPECT_EQ(At(*watched.lock(), 2, 2), 5u);
  // A compatible DC and bitmap of a window DC are ordinary memory ones.
  win::HDC memory = win::CreateCompatibleDC(dc);
  win::HBITMAP bitmap = win::CreateCompatibleBitmap(dc, 5, 5);
  ASSERT_TRUE(memory && bitmap);
  EXPECT_EQ(win::stand_in::SurfaceOfDC(memory), nullptr);
  EXPECT_EQ(win::SelectObject(dc, bitmap), nullptr);  // a window DC holds no bitmap
  EXPECT_NE(win::SelectObject(memory, bitmap), nullptr);
  EXPECT_EQ(win::GetPixel(memory, 4, 4), 0u);
  // A window DC is released, not deleted; afterwards its handle is stale.
  EXPECT_FALSE(win::DeleteDC(dc));
  EXPECT_FALSE(win::stand_in::ReleaseWindowDC(memory));
  EXPECT_TRUE(win::stand_in::ReleaseWindowDC(dc));
  EXPECT_TRUE(watched.expired());
  EXPECT_FALSE(win::stand_in::ReleaseWindowDC(dc));
  EXPECT_FALSE(win::SetPixelV(dc, 0, 0, 1));
  EXPECT_EQ(win::stand_in::SurfaceOfDC(dc), nullptr);
  EXPECT_EQ(win::stand_in::CreateWindowDC(nullptr, win::RECT{0, 0, 1, 1}), nullptr);
}

}  // namespace
