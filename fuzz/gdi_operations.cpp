// The GDI stand-in's drawing and transfers over arbitrary coordinates, sizes,
// raster codes and clip regions: nothing is ever written outside a bitmap
// (the address sanitizer watches), and stale handles are refused.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/win.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  int32_t Int() {
    int32_t value = 0;
    size_t n = size < 4 ? size : 4;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    // Mostly small coordinates, sometimes extreme ones.
    return (value & 0x30000000) ? value % 300 - 40 : value;
  }
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
};

struct BitmapDC {
  win::HDC dc;
  win::HGDIOBJ originalBitmap;
};

BitmapDC NewBitmapDC(Reader& in) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  int width = 1 + in.Byte() % 64, height = 1 + in.Byte() % 64;
  return {dc, win::SelectObject(dc, win::CreateCompatibleBitmap(dc, width, height))};
}

void DeleteBitmapDC(const BitmapDC& d) {
  win::DeleteObject(win::SelectObject(d.dc, d.originalBitmap));
  win::DeleteDC(d.dc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  BitmapDC targetDC = NewBitmapDC(in), sourceDC = NewBitmapDC(in);
  win::HDC target = targetDC.dc, source = sourceDC.dc;
  win::HPEN pen = win::CreatePen(PS_SOLID, 1, 0x00FF8040);
  win::HBRUSH brush = win::CreateSolidBrush(0x00123456);
  win::SelectObject(target, pen);
  win::SelectObject(target, brush);
  while (in.size > 0) {
    switch (in.Byte() % 9) {
      case 0:
        win::SetPixelV(target, in.Int(), in.Int(), 0x00FFFFFF);
        break;
      case 1:
        win::GetPixel(target, in.Int(), in.Int());
        break;
      case 2:
        win::MoveToEx(target, in.Int(), in.Int(), nullptr);
        win::LineTo(target, in.Int(), in.Int());
        break;
      case 3:
        win::Rectangle(target, in.Int(), in.Int(), in.Int(), in.Int());
        break;
      case 4: {
        int x = in.Int(), y = in.Int(), w = in.Int(), h = in.Int(), sx = in.Int(), sy = in.Int();
        win::BitBlt(target, x, y, w, h, source, sx, sy, static_cast<win::DWORD>(in.Byte()) << 16);
        break;
      }
      case 5: {
        int x = in.Int(), y = in.Int(), w = in.Int() % 200, h = in.Int() % 200;
        int sx = in.Int(), sy = in.Int(), sw = in.Int() % 100, sh = in.Int() % 100;
        win::StretchBlt(target, x, y, w, h, source, sx, sy, sw, sh, static_cast<win::DWORD>(in.Byte()) << 16);
        break;
      }
      case 6: {
        win::HRGN region = win::CreateRectRgn(in.Int(), in.Int(), in.Int(), in.Int());
        win::SelectClipRgn(target, in.Byte() & 1 ? region : nullptr);
        win::DeleteObject(region);
        break;
      }
      case 7:
        win::BitBlt(source, in.Int(), in.Int(), in.Int(), in.Int(), target, in.Int(), in.Int(), SRCCOPY);
        break;
      case 8: {
        win::HGDIOBJ old = win::SelectObject(source, win::CreateCompatibleBitmap(target, 1 + in.Byte() % 40, 1));
        if (old != sourceDC.originalBitmap) win::DeleteObject(old);
        break;
      }
    }
  }
  win::DeleteObject(win::SelectObject(target, win::GetStockObject(BLACK_PEN)));
  win::DeleteObject(win::SelectObject(target, win::GetStockObject(BLACK_BRUSH)));
  DeleteBitmapDC(targetDC);
  DeleteBitmapDC(sourceDC);
  // Everything is gone: the handles must be refused now.
  if (win::DeleteObject(pen) || win::SetPixelV(target, 0, 0, 0)) __builtin_trap();
  return 0;
}
