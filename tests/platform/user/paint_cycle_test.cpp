// The paint cycle: update regions, BeginPaint's rectangle, clipping and
// validation, erasing with the class brush, window DCs over the client
// surface, and repainting what was covered or minimised.
#include <gtest/gtest.h>

#include "platform/posix/user/memory_display.h"
#include "tests/platform/user/window_fixture.h"

namespace {

using namespace window_tests;
namespace si = win::stand_in;

constexpr win::COLORREF Blue = RGB(0, 0, 255);

bool SameRect(const win::RECT& a, const win::RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

win::HWND CreateShown(const char* className = TestClass) {
  RegisterTestClass(className);
  win::HWND window = win::CreateWindowExA(0, className, "Paint", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 208, 127,
                                          nullptr, nullptr, nullptr, nullptr);
  win::ShowWindow(window, SW_SHOW);
  win::UpdateWindow(window);
  return window;
}

// Handles what is queued, then returns at the quit request.
void Settle() {
  win::PostQuitMessage(0);
  RunMessageLoop();
}

TEST(PaintCycle, BeginPaintHandsOutTheUpdateRectangleClipsToItAndValidates) {
  si::UseMemoryDisplay();
  win::HWND window = CreateShown();
  ASSERT_NE(window, nullptr);
  {
    std::lock_guard<std::mutex> guard(PaintLock);
    ASSERT_EQ(PaintRectangles.size(), 1u);  // the first paint covered the whole client area
    EXPECT_TRUE(SameRect(PaintRectangles[0], win::RECT{0, 0, 200, 100}));
  }
  win::RECT none{1, 1, 1, 1};
  EXPECT_FALSE(win::GetUpdateRect(window, &none, FALSE));
  EXPECT_TRUE(SameRect(none, win::RECT{0, 0, 0, 0}));

  // Two invalidations make one update region; parts outside the client area drop off.
  win::RECT a{10, 10, 20, 20}, b{30, 5, 250, 15};
  win::InvalidateRect(window, &a, FALSE);
  win::InvalidateRect(window, &b, FALSE);
  win::RECT update;
  ASSERT_TRUE(win::GetUpdateRect(window, &update, FALSE));
  EXPECT_TRUE(SameRect(update, win::RECT{10, 5, 200, 20}));
  win::RECT outside{300, 300, 400, 400};
  win::InvalidateRect(window, &outside, FALSE);
  ASSERT_TRUE(win::GetUpdateRect(window, &update, FALSE));
  EXPECT_TRUE(SameRect(update, win::RECT{10, 5, 200, 20}));

  // Drawing through BeginPaint's DC lands only inside the rectangle.
  win::PAINTSTRUCT paint;
  win::HDC dc = win::BeginPaint(window, &paint);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(paint.hdc, dc);
  EXPECT_TRUE(SameRect(paint.rcPaint, win::RECT{10, 5, 200, 20}));
  EXPECT_FALSE(paint.fErase);
  EXPECT_FALSE(win::GetUpdateRect(window, &update, FALSE));  // validated by BeginPaint
  win::SetPixelV(dc, 10, 5, Blue);
  win::SetPixelV(dc, 199, 19, Blue);
  win::SetPixelV(dc, 9, 5, Blue);
  win::SetPixelV(dc, 10, 20, Blue);
  EXPECT_TRUE(win::EndPaint(window, &paint));
  EXPECT_EQ(si::ClientPixel(window, 10, 5), Blue);
  EXPECT_EQ(si::ClientPixel(window, 199, 19), Blue);
  EXPECT_EQ(si::ClientPixel(window, 9, 5), 0u);
  EXPECT_EQ(si::ClientPixel(window, 10, 20), 0u);
  EXPECT_EQ(si::DescribeWindow(window).paints, 2);
  // Nothing is left for the loop to paint.
  int paints = LoggedCount(WM_PAINT);
  Settle();
  EXPECT_EQ(LoggedCount(WM_PAINT), paints);
}

TEST(PaintCycle, ErasingFillsTheUpdateRegionWithTheClassBrush) {
  si::UseMemoryDisplay();
  win::WNDCLASSA blue{};
  blue.lpfnWndProc = TestProcedure;
  blue.hbrBackground = win::CreateSolidBrush(Blue);
  blue.lpszClassName = "BlueBackground";
  ASSERT_NE(win::RegisterClassA(&blue), 0);
  PaintFromCanvas = false;  // WM_PAINT and WM_ERASEBKGND go to DefWindowProcA
  win::HWND window = win::CreateWindowExA(0, "BlueBackground", "Erase", WS_OVERLAPPEDWINDOW, 0, 0, 208, 127, nullptr,
                                          nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(si::ClientPixel(window, 0, 0), 0u);
  win::ShowWindow(window, SW_SHOW);
  win::UpdateWindow(window);
  EXPECT_EQ(si::ClientPixel(window, 0, 0), Blue);
  EXPECT_EQ(si::ClientPixel(window, 199, 99), Blue);

  // Only the invalidated part is erased, and only when asked for.
  win::HDC dc = win::GetDC(window);
  for (int x = 0; x < 200; ++x) win::SetPixelV(dc, x, 50, RGB(255, 0, 0));
  win::ReleaseDC(window, dc);
  win::RECT left{0, 40, 100, 60};
  win::InvalidateRect(window, &left, FALSE);
  Settle();
  EXPECT_EQ(si::ClientPixel(window, 10, 50), RGB(255, 0, 0));
  win::InvalidateRect(window, &left, TRUE);
  Settle();
  EXPECT_EQ(si::ClientPixel(window, 10, 50), Blue);
  EXPECT_EQ(si::ClientPixel(window, 99, 50), Blue);
  EXPECT_EQ(si::ClientPixel(window, 100, 50), RGB(255, 0, 0));
  EXPECT_EQ(si::ClientPixel(window, 10, 39), Blue);
}

TEST(PaintCycle, WindowDcDrawsIntoTheClientSurface) {
  si::UseMemoryDisplay();
  win::HWND window = CreateShown();
  win::HDC dc = win::GetDC(window);
  ASSERT_NE(dc, nullptr);
  win::SetPixelV(dc, 0, 0, RGB(1, 2, 3));
  win::SetPixelV(dc, 199, 99, RGB(4, 5, 6));
  win::SetPixelV(dc, 200, 50, RGB(7, 8, 9));  // outside the client area: clipped
  EXPECT_EQ(si::ClientPixel(window, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(si::ClientPixel(window, 199, 99), RGB(4, 5, 6));
  std::vector<win::COLORREF> pixels = si::ClientPixels(window);
  ASSERT_EQ(pixels.size(), 20000u);
  int lit = 0;
  for (win::COLORREF p : pixels) lit += p != 0;
  EXPECT_EQ(lit, 2);
  EXPECT_EQ(win::ReleaseDC(window, dc), 1);
  EXPECT_EQ(win::ReleaseDC(window, dc), 0);  // already released
  EXPECT_EQ(win::GetDC(reinterpret_cast<win::HWND>(static_cast<uintptr_t>(0x1234))), nullptr);
}

TEST(PaintCycle, CoveredAndMinimisedPartsArePaintedAgainFromTheCanvas) {
  si::UseMemoryDisplay();
  WindowThread thread;
  win::HWND window = thread.Window();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  // A diagonal pattern, drawn from this thread while the window thread waits.
  for (int i = 0; i < 100; ++i) {
    DrawPixel(i * 2, i, RGB(i, 255 - i, 128));
    DrawPixel(i * 2 + 1, 99 - i, RGB(200, i, 7));
  }
  std::vector<win::COLORREF> drawn = si::ClientPixels(window);
  EXPECT_EQ(drawn[0], RGB(0, 255, 128));

  win::RECT area{20, 10, 120, 60};
  si::CoverWindow(window, area);
  EXPECT_EQ(si::ClientPixel(window, 20, 10), si::CoveredColour);
  EXPECT_EQ(si::ClientPixel(window, 119, 59), si::CoveredColour);
  EXPECT_EQ(si::ClientPixel(window, 0, 0), drawn[0]);
  si::UncoverWindow(window, area);
  ASSERT_TRUE(si::WaitForPaints(window, 2, 10000));
  EXPECT_EQ(si::ClientPixels(window), drawn);
  {
    std::lock_guard<std::mutex> guard(PaintLock);
    EXPECT_TRUE(SameRect(PaintRectangles.back(), area));
  }

  si::MinimizeWindow(window);
  for (int i = 0; i < 1000 && !si::DescribeWindow(window).minimized; ++i) win::Sleep(2);
  EXPECT_TRUE(si::DescribeWindow(window).minimized);
  EXPECT_EQ(si::ClientPixel(window, 0, 0), si::CoveredColour);
  si::RestoreWindow(window);
  ASSERT_TRUE(si::WaitForPaints(window, 3, 10000));
  EXPECT_FALSE(si::DescribeWindow(window).minimized);
  EXPECT_EQ(si::ClientPixels(window), drawn);
  EXPECT_EQ(si::MessageCount(window, WM_PAINT), 3);
}

}  // namespace
