// Memory DCs with their own bitmaps, filled and read pixel by pixel, for the
// GDI stand-in's tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/win.h"

namespace gdi_test {

struct BitmapDC {
  win::HDC dc = nullptr;
  win::HBITMAP bitmap = nullptr;
  win::HGDIOBJ original = nullptr;  // the DC's own bitmap
  int width = 0;
  int height = 0;
};

inline BitmapDC MakeBitmapDC(int width, int height) {
  BitmapDC d;
  d.dc = win::CreateCompatibleDC(nullptr);
  d.bitmap = win::CreateCompatibleBitmap(d.dc, width, height);
  d.original = win::SelectObject(d.dc, d.bitmap);
  d.width = width;
  d.height = height;
  return d;
}

inline void Fill(const BitmapDC& d, win::COLORREF color) {
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x) win::SetPixelV(d.dc, x, y, color);
}

// Every pixel, row-major, as GetPixel reads them.
inline std::vector<win::COLORREF> Pixels(const BitmapDC& d) {
  std::vector<win::COLORREF> out;
  for (int y = 0; y < d.height; ++y)
    for (int x = 0; x < d.width; ++x) out.push_back(win::GetPixel(d.dc, x, y));
  return out;
}

// The pixels as a picture of characters: '.' for background, the mapped
// character for the listed colours, '?' for anything else.
inline std::string Picture(const BitmapDC& d, win::COLORREF background, win::COLORREF ink, char inkChar = '#') {
  std::string s;
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      win::COLORREF c = win::GetPixel(d.dc, x, y);
      s += c == background ? '.' : (c == ink ? inkChar : '?');
    }
    s += '\n';
  }
  return s;
}

}  // namespace gdi_test
