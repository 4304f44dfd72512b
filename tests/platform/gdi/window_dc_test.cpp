// Device contexts of a window: they draw into its surface within their area
// and the surface's current size, report each call's change as one bounding
// box, keep the surface alive until released, and share it between threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "platform/posix/gdi/window_surface.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using win::stand_in::WindowSurface;
using Box = std::vector<int>;  // left, top, right, bottom

win::COLORREF At(const WindowSurface& s, int x, int y) {
  return s.pixels[static_cast<size_t>(y * s.width + x)];
}

Box Damage(WindowSurface& s) {
  win::RECT r{};
  return s.TakeDamage(r) ? Box{r.left, r.top, r.right, r.bottom} : Box{};
}

TEST(WindowDC, DrawsIntoTheSurfaceWithOneDamageBoxPerCall) {
  auto surface = std::make_shared<WindowSurface>();
  surface->Resize(20, 10);
  win::HDC dc = win::stand_in::CreateWindowDC(surface, win::RECT{2, 1, 18, 9});
  ASSERT_EQ(win::stand_in::SurfaceOfDC(dc), surface);
  ASSERT_TRUE(win::SetPixelV(dc, 5, 4, RGB(1, 2, 3)));
  EXPECT_EQ(At(*surface, 5, 4), RGB(1, 2, 3));
  EXPECT_EQ(Damage(*surface), (Box{5, 4, 6, 5}));
  EXPECT_EQ(Damage(*surface), Box{});  // taken
  win::SelectObject(dc, win::GetStockObject(WHITE_PEN));
  win::MoveToEx(dc, 16, 2, nullptr);
  win::LineTo(dc, 6, 7);
  EXPECT_EQ(At(*surface, 7, 7), 0xFFFFFFu);
  EXPECT_EQ(At(*surface, 6, 7), 0u);  // the end point
  EXPECT_EQ(Damage(*surface), (Box{7, 2, 17, 8}));
  // Beyond the DC's area nothing changes and nothing is reported.
  EXPECT_FALSE(win::SetPixelV(dc, 1, 4, RGB(9, 9, 9)));
  win::SelectObject(dc, win::GetStockObject(GRAY_BRUSH));
  win::Rectangle(dc, -5, -5, 50, 50);
  EXPECT_EQ(Damage(*surface), (Box{2, 1, 18, 9}));
  EXPECT_EQ(At(*surface, 2, 1), RGB(128, 128, 128));
  EXPECT_EQ(At(*surface, 1, 4), 0u);
  EXPECT_EQ(At(*surface, 18, 8), 0u);
  // Drawing follows the surface's size, whatever the DC's area.
  surface->Resize(4, 3);
  EXPECT_TRUE(win::BitBlt(dc, -10, -10, 100, 100, nullptr, 0, 0, WHITENESS));
  const win::COLORREF W = 0xFFFFFF;
  EXPECT_EQ(surface->pixels, (std::vector<win::COLORREF>{0, 0, 0, 0, 0, 0, W, W, 0, 0, W, W}));
  surface->Resize(0, 0);
  EXPECT_FALSE(win::SetPixelV(dc, 0, 0, 7));
  EXPECT_TRUE(win::Rectangle(dc, 0, 0, 10, 10));
  // A window DC holds no bitmap, keeps its surface alive, is released, not
  // deleted, and then is stale.
  EXPECT_EQ(win::SelectObject(dc, win::CreateCompatibleBitmap(dc, 5, 5)), nullptr);
  EXPECT_FALSE(win::DeleteDC(dc));
  std::weak_ptr<WindowSurface> watched = surface;
  surface.reset();
  EXPECT_FALSE(watched.expired());
  EXPECT_TRUE(win::stand_in::ReleaseWindowDC(dc));
  EXPECT_TRUE(watched.expired());
  EXPECT_FALSE(win::stand_in::ReleaseWindowDC(dc) || win::SetPixelV(dc, 0, 0, 1));
}

constexpr int Rounds = 300;
constexpr win::COLORREF White = 0xFFFFFF, Green = RGB(0, 99, 0);

// As the program and its window use GDI at once: one thread draws on a window
// DC, one paints the surface from a bitmap, the host presents the damage,
// memory DCs and objects come and go, and one thread uses deleted DC handles.
TEST(Concurrency, DrawPaintPresentAndDeleteAtOnce) {
  auto surface = std::make_shared<WindowSurface>();
  surface->Resize(64, 48);
  gdi_test::BitmapDC picture = gdi_test::MakeBitmapDC(64, 48);
  gdi_test::Fill(picture, Green);
  std::atomic<int> wrong{0};
  std::atomic<bool> running{true};
  std::atomic<win::HDC> latest{nullptr};
  // The program draws the lower half: rows 24 to 35 filled and row 40 a line.
  std::thread program([&] {
    win::HDC dc = win::stand_in::CreateWindowDC(surface, win::RECT{0, 24, 64, 48});
    win::SelectObject(dc, win::GetStockObject(WHITE_PEN));
    for (int round = 0; round < Rounds; ++round) {
      win::BitBlt(dc, 0, 0, 64, 48, nullptr, 0, 0, BLACKNESS);
      win::Rectangle(dc, 0, 24, 64, 36);
      win::MoveToEx(dc, 0, 40, nullptr);
      win::LineTo(dc, 64, 40);
      wrong += win::GetPixel(dc, round % 64, 24 + round % 12) != White;
    }
    win::stand_in::ReleaseWindowDC(dc);
  });
  // The window paints the upper half from the bitmap.
  std::thread window([&] {
    for (int round = 0; round < Rounds; ++round) {
      win::HDC paint = win::stand_in::CreateWindowDC(surface, win::RECT{0, 0, 64, 24});
      win::StretchBlt(paint, 0, 0, 64, 48, picture.dc, 0, 0, 64, 48, SRCCOPY);
      win::stand_in::ReleaseWindowDC(paint);
    }
  });
  // The host takes the damage to present it: no change is lost between
  // drawing and taking, so the boxes it took cover all that was drawn.
  Box covered{64, 48, 0, 0};
  auto take = [&] {
    if (Box b = Damage(*surface); !b.empty())
      covered = {std::min(covered[0], b[0]), std::min(covered[1], b[1]), std::max(covered[2], b[2]),
                 std::max(covered[3], b[3])};
  };
  std::thread host([&] {
    while (running) take();
  });
  std::thread churn([&] {
    while (running) {
      gdi_test::BitmapDC d = gdi_test::MakeBitmapDC(8, 8);
      win::HBRUSH brush = win::CreateSolidBrush(RGB(1, 1, 1));
      win::SelectObject(d.dc, brush);
      latest = d.dc;
      win::Rectangle(d.dc, 0, 0, 8, 8);
      win::DeleteDC(d.dc);
      wrong += !win::DeleteObject(brush) || !win::DeleteObject(d.bitmap);
    }
  });
  // Draws on the churn's latest DC, deleted or not: each call draws or fails cleanly.
  std::thread late([&] {
    while (running)
      if (!win::SetPixelV(latest, 3, 3, 3)) wrong += win::GetLastError() != ERROR_INVALID_HANDLE;
  });
  program.join();
  window.join();
  running = false;
  for (std::thread* t : {&host, &churn, &late}) t->join();
  take();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(covered, (Box{0, 0, 64, 48}));
  std::lock_guard<win::stand_in::ShortLock> guard(surface->lock);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(At(*surface, x, y), y < 24 ? Green : (y < 36 || y == 40 ? White : 0u)) << x << "," << y;
    }
}

}  // namespace
