// Drawing targets without a window: two memory device contexts stand in for the
// off-screen bitmap and the window, with the driver and graphics state a mode
// set leaves behind (palette, lock, running flag, full-screen viewport).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"

namespace memory_targets {

inline win::HDC MemoryTarget(int width, int height) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HBITMAP surface = win::CreateCompatibleBitmap(dc, width, height);
  win::SelectObject(dc, surface);
  win::SelectObject(dc, win::GetStockObject(BLACK_PEN));
  win::SelectObject(dc, win::GetStockObject(BLACK_BRUSH));
  win::Rectangle(dc, 0, 0, width, height);
  return dc;
}

// A mode of width x height pixels and the given colour count, as the graph
// window leaves it after its first paint. The palette is allocated to its exact
// size, so a read beyond its entries shows under the address sanitizer.
inline void SetUpMode(int16_t width = 640, int16_t height = 480, int32_t colors = 16) {
  graph::MaxX = static_cast<int16_t>(width - 1);
  graph::MaxY = static_cast<int16_t>(height - 1);
  graph::MaxColor = colors;
  graph::DirectColor = false;
  graph::Pal = new graph::RGBRec[colors];
  std::copy(graph::DefaultColors, graph::DefaultColors + colors, graph::Pal);
  win::InitializeCriticalSection(&graph::GraphDrawing);
  graph::BitmapDC = MemoryTarget(width, height);
  graph::WinDC = MemoryTarget(width, height);
  std::fill(std::begin(graph::Pens), std::end(graph::Pens), nullptr);
  std::fill(std::begin(graph::BitmapFontHorizonCache), std::end(graph::BitmapFontHorizonCache), nullptr);
  std::fill(std::begin(graph::BitmapFontVerticalCache), std::end(graph::BitmapFontVerticalCache), nullptr);
  graph::DrawToBitmap = true;
  graph::DrawToScreen = true;
  graph::IsGraphMode = true;
  graph::StartXViewPort = 0;
  graph::StartYViewPort = 0;
  graph::ViewWidth = graph::MaxX;
  graph::ViewHeight = graph::MaxY;
  graph::ClipPixels = true;
  graph::CurrentColor = 15;
  graph::CurrentWriteMode = 0;
  graph::CurrentTextInfo = {0, 0, 1, 0, 2};
  graph::_GraphResult = 0;
  graph::DirectPutPixel = graph::DirectPutPixel16Win32GUI;
  __atomic_store_n(&graph::GraphRunning, true, __ATOMIC_RELEASE);
}

inline void SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
  graph::StartXViewPort = x1;
  graph::StartYViewPort = y1;
  graph::ViewWidth = static_cast<int16_t>(x2 - x1);
  graph::ViewHeight = static_cast<int16_t>(y2 - y1);
  graph::ClipPixels = clip;
}

inline win::COLORREF BitmapPixel(int x, int y) {
  return win::GetPixel(graph::BitmapDC, x, y);
}
inline win::COLORREF WindowPixel(int x, int y) {
  return win::GetPixel(graph::WinDC, x, y);
}

// Both targets hold colour at (x, y).
inline ::testing::AssertionResult BothAre(int x, int y, win::COLORREF color) {
  win::COLORREF b = BitmapPixel(x, y), w = WindowPixel(x, y);
  if (b == color && w == color) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") bitmap " << std::hex << b << ", window " << w
                                       << ", expected " << color;
}

// Paints every pixel of both targets in a rectangle with one colour.
inline void Paint(int left, int top, int right, int bottom, win::COLORREF color) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      win::SetPixelV(graph::BitmapDC, x, y, color);
      win::SetPixelV(graph::WinDC, x, y, color);
    }
  }
}

// Nothing but background in the rectangle.
inline ::testing::AssertionResult Untouched(int left, int top, int right, int bottom, win::COLORREF background) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      if (!BothAre(x, y, background)) return BothAre(x, y, background);
    }
  }
  return ::testing::AssertionSuccess();
}

inline win::COLORREF PaletteRGB(int index) {
  const graph::RGBRec& e = graph::DefaultColors[index];
  return RGB(e.Red, e.Green, e.Blue);
}

}  // namespace memory_targets
