// GDI from several threads at once: drawing on different DCs while objects come
// and go, painting a surface that another thread draws on and presents, and a
// DC deleted while another thread still uses its handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/posix/gdi/window_surface.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::BitmapDC;
using gdi_test::MakeBitmapDC;

constexpr int Rounds = 300;

// Draws a picture of its own on d, over and over, and checks it each round.
void DrawOwnPicture(const BitmapDC& d, win::COLORREF color, std::atomic<int>& wrong) {
  BitmapDC scratch = MakeBitmapDC(d.width, d.height);
  win::HPEN pen = win::CreatePen(PS_SOLID, 1, color);
  win::HGDIOBJ oldPen = win::SelectObject(d.dc, pen);
  for (int round = 0; round < Rounds; ++round) {
    win::BitBlt(d.dc, 0, 0, d.width, d.height, nullptr, 0, 0, BLACKNESS);
    for (int x = 0; x < d.width; ++x) win::SetPixelV(d.dc, x, 0, color);
    win::MoveToEx(d.dc, 0, 1, nullptr);
    win::LineTo(d.dc, d.width, 1);
    win::BitBlt(scratch.dc, 0, 0, d.width, 2, d.dc, 0, 0, SRCCOPY);
    win::StretchBlt(d.dc, 0, 2, d.width, d.height - 2, scratch.dc, 0, 0, d.width, 2, SRCCOPY);
    for (int y = 0; y < d.height; y += 3)
      if (win::GetPixel(d.dc, (round + y) % d.width, y) != color) ++wrong;
  }
  win::SelectObject(d.dc, oldPen);
  win::DeleteObject(pen);
}

TEST(Concurrency, DrawingOnTwoDCsWhileObjectsComeAndGo) {
  BitmapDC first = MakeBitmapDC(32, 24), second = MakeBitmapDC(32, 24);
  std::atomic<int> wrong{0};
  std::atomic<bool> drawing{true};
  std::thread a([&] { DrawOwnPicture(first, RGB(200, 0, 0), wrong); });
  std::thread b([&] { DrawOwnPicture(second, RGB(0, 0, 200), wrong); });
  std::thread churn([&] {
    while (drawing.load()) {
      BitmapDC d = MakeBitmapDC(8, 8);
      win::HBRUSH brush = win::CreateSolidBrush(RGB(1, 1, 1));
      win::HRGN region = win::CreateRectRgn(0, 0, 4, 4);
      win::SelectObject(d.dc, brush);
      win::SelectClipRgn(d.dc, region);
      win::Rectangle(d.dc, 0, 0, 8, 8);
      if (win::GetPixel(d.dc, 1, 1) != RGB(1, 1, 1)) ++wrong;
      win::DeleteObject(region);
      win::DeleteDC(d.dc);
      win::DeleteObject(brush);
      win::DeleteObject(d.bitmap);
    }
  });
  a.join();
  b.join();
  drawing.store(false);
  churn.join();
  EXPECT_EQ(wrong.load(), 0);
  for (win::COLORREF c : gdi_test::Pixels(first)) ASSERT_EQ(c, RGB(200, 0, 0));
  for (win::COLORREF c : gdi_test::Pixels(second)) ASSERT_EQ(c, RGB(0, 0, 200));
}

TEST(Concurrency, DrawPaintAndPresentOneSurface) {
  auto surface = std::make_shared<win::stand_in::WindowSurface>();
  surface->Resize(64, 48);
  BitmapDC picture = MakeBitmapDC(64, 48);
  gdi_test::Fill(picture, RGB(0, 99, 0));
  std::atomic<bool> running{true};
  // The program's thread draws on its window DC: the lower half.
  std::thread program([&] {
    win::HDC dc = win::stand_in::CreateWindowDC(surface, win::RECT{0, 24, 64, 48});
    for (int round = 0; round < Rounds; ++round)
      for (int x = 0; x < 64; x += 4) win::SetPixelV(dc, x, 24 + round % 24, RGB(255, 255, 255));
    win::stand_in::ReleaseWindowDC(dc);
  });
  // The window's thread paints the upper half from the bitmap.
  std::thread window([&] {
    for (int round = 0; round < Rounds; ++round) {
      win::HDC paint = win::stand_in::CreateWindowDC(surface, win::RECT{0, 0, 64, 24});
      win::BitBlt(paint, 0, 0, 64, 48, picture.dc, 0, 0, SRCCOPY);
      win::stand_in::ReleaseWindowDC(paint);
    }
  });
  // The host takes the damage to present it; together the boxes it took
  // cover all that was drawn, none is lost between drawing and taking.
  win::RECT covered{64, 48, 0, 0};
  auto take = [&] {
    win::RECT r;
    if (!surface->TakeDamage(r)) return;
    covered = win::RECT{std::min(covered.left, r.left), std::min(covered.top, r.top), std::max(covered.right, r.right),
                        std::max(covered.bottom, r.bottom)};
  };
  std::thread host([&] {
    while (running.load()) take();
  });
  program.join();
  window.join();
  running.store(false);
  host.join();
  take();
  EXPECT_EQ(covered.left, 0);
  EXPECT_EQ(covered.top, 0);
  EXPECT_EQ(covered.right, 64);
  EXPECT_EQ(covered.bottom, 48);
  std::lock_guard<std::mutex> guard(surface->lock);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      win::COLORREF c = surface->pixels[static_cast<size_t>(y * 64 + x)];
      win::COLORREF expected = y < 24 ? RGB(0, 99, 0) : (x % 4 == 0 ? RGB(255, 255, 255) : 0u);
      ASSERT_EQ(c, expected) << x << "," << y;
    }
}

TEST(Concurrency, DeletedWhileInUseFailsCleanly) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    BitmapDC d = MakeBitmapDC(16, 16);
    std::atomic<int> calls{0};
    bool sawFailure = false, succeededAfterFailure = false;
    std::thread user([&] {
      // Draws until the DC is gone (with a bound in case it never goes), then
      // a while longer: once refused, the handle stays refused.
      int afterFailure = 0;
      for (int i = 0; i < 50000000 && afterFailure < 1000; ++i) {
        bool ok = win::SetPixelV(d.dc, i % 16, (i / 16) % 16, RGB(3, 3, 3)) != FALSE;
        calls.fetch_add(1);
        if (!ok) sawFailure = true;
        if (sawFailure) ++afterFailure;
        if (ok && sawFailure) succeededAfterFailure = true;
      }
    });
    while (calls.load() < 100) std::this_thread::yield();
    EXPECT_TRUE(win::DeleteDC(d.dc));
    user.join();
    EXPECT_TRUE(sawFailure);
    EXPECT_FALSE(succeededAfterFailure);
    EXPECT_TRUE(win::DeleteObject(d.bitmap));  // given back by the deleted DC
  }
}

}  // namespace
