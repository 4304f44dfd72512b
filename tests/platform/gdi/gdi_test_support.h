// Memory DCs with bitmaps of their own, filled and read pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win.h"

namespace gdi_test {

struct BitmapDC {
  win::HDC dc;
  win::HBITMAP bitmap;
  win::HGDIOBJ original;  // the DC's own bitmap
  int width, height;
};

inline BitmapDC MakeBitmapDC(int width, int height) {
  BitmapDC d{win::CreateCompatibleDC(nullptr), nullptr, nullptr, width, height};
  d.bitmap = win::CreateCompatibleBitmap(d.dc, width, height);
  d.original = win::SelectObject(d.dc, d.bitmap);
  return d;
}

inline void Fill(const BitmapDC& d, win::COLORREF color) {
  for (int i = 0; i < d.width * d.height; ++i) win::SetPixelV(d.dc, i % d.width, i / d.width, color);
}

// Every pixel, row-major, as GetPixel reads them.
inline std::vector<win::COLORREF> Pixels(const BitmapDC& d) {
  std::vector<win::COLORREF> out;
  for (int i = 0; i < d.width * d.height; ++i) out.push_back(win::GetPixel(d.dc, i % d.width, i / d.width));
  return out;
}

// Rows of characters: '.' for black, 'o' for the pen's colour, '#' for the brush's, '?' for any other.
inline std::string Picture(const BitmapDC& d, win::COLORREF pen, win::COLORREF brush) {
  std::string s;
  for (int i = 0; win::COLORREF c : Pixels(d))
    s += std::string(c == 0 ? "." : c == pen ? "o" : c == brush ? "#" : "?") + (++i % d.width ? "" : "\n");
  return s;
}

}  // namespace gdi_test
