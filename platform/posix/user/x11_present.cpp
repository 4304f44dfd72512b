// Presenting surfaces to X windows with XPutImage of the damage rectangle.
#include "platform/posix/user/x11_present.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <vector>

#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

std::atomic<PresentObserver> presentObserver{nullptr};

struct Channel {
  int shift = 0;
  int bits = 8;
};

Channel ChannelOf(unsigned long mask) {
  Channel channel;
  if (!mask) return channel;
  channel.shift = std::countr_zero(mask);
  channel.bits = std::popcount(mask);
  return channel;
}

struct PixelFormat {
  Channel red{16, 8}, green{8, 8}, blue{0, 8};
};

PixelFormat FormatOf(const Visual* visual) {
  PixelFormat format;
  if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
    format.red = ChannelOf(visual->red_mask);
    format.green = ChannelOf(visual->green_mask);
    format.blue = ChannelOf(visual->blue_mask);
  }
  return format;
}

unsigned long Scale(uint32_t component, const Channel& channel) {
  uint32_t value = channel.bits >= 8 ? component << (channel.bits - 8) : component >> (8 - channel.bits);
  return static_cast<unsigned long>(value) << channel.shift;
}

unsigned long PixelOf(COLORREF colour, const PixelFormat& format) {
  return Scale(colour & 0xFF, format.red) | Scale((colour >> 8) & 0xFF, format.green) |
         Scale((colour >> 16) & 0xFF, format.blue);
}

struct Pending {
  ::Window target = 0;
  std::shared_ptr<WindowSurface> surface;
};

// Takes the surface's damage and converts that part into the image, under the
// surface's lock so that drawing from other threads cannot tear it.
XImage* TakeDamagedImage(X11Connection& c, WindowSurface& surface, RECT& area, std::vector<char>& data,
                         const PixelFormat& format) {
  std::lock_guard<ShortLock> guard(surface.lock);
  if (!surface.damaged) return nullptr;
  area = surface.damage;
  surface.damaged = false;
  surface.damage = RECT{0, 0, 0, 0};
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, surface.width);
  area.bottom = std::min<LONG>(area.bottom, surface.height);
  if (area.left >= area.right || area.top >= area.bottom) return nullptr;
  unsigned width = static_cast<unsigned>(area.right - area.left),
           height = static_cast<unsigned>(area.bottom - area.top);
  XImage* image =
      XCreateImage(c.display, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0, nullptr, width, height, 32, 0);
  if (!image) return nullptr;
  data.assign(static_cast<size_t>(image->bytes_per_line) * height, 0);
  image->data = data.data();
  bool direct = image->bits_per_pixel == 32 &&
                image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
  for (unsigned y = 0; y < height; ++y) {
    const COLORREF* row = surface.pixels.data() + static_cast<size_t>(area.top + y) * surface.width + area.left;
    char* out = data.data() + static_cast<size_t>(y) * image->bytes_per_line;
    for (unsigned x = 0; x < width; ++x) {
      unsigned long pixel = PixelOf(row[x], format);
      if (direct) {
        uint32_t value = static_cast<uint32_t>(pixel);
        std::memcpy(out + 4 * x, &value, 4);
      } else {
        XPutPixel(image, static_cast<int>(x), static_cast<int>(y), pixel);
      }
    }
  }
  return image;
}

void Report(uint64_t images, uint64_t requests, uint64_t pixels) {
  if (PresentObserver observer = presentObserver.load()) observer(images, requests, pixels);
}

}  // namespace

void PresentDamage(X11Connection& c) {
  std::vector<Pending> pending;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    for (Window* window : WindowsLocked(GetCurrentThreadId()))
      if (window->hostWindow && window->surface) pending.push_back({window->hostWindow, window->surface});
  }
  PixelFormat format = FormatOf(c.visual);
  unsigned long before = XNextRequest(c.display);
  bool sent = false;
  uint64_t images = 0, pixels = 0;
  std::vector<char> data;
  for (Pending& p : pending) {
    RECT area;
    XImage* image = TakeDamagedImage(c, *p.surface, area, data, format);
    if (!image) continue;
    XPutImage(c.display, p.target, c.gc, image, 0, 0, area.left, area.top, static_cast<unsigned>(image->width),
              static_cast<unsigned>(image->height));
    ++images;
    pixels += static_cast<uint64_t>(image->width) * static_cast<uint64_t>(image->height);
    image->data = nullptr;  // ours, not Xlib's, to free
    XDestroyImage(image);
    sent = true;
    if (c.broken) return Report(images, 0, pixels);
  }
  if (!sent) return;
  XFlush(c.display);
  Report(images, XNextRequest(c.display) - before, pixels);
}

void ObservePresents(PresentObserver observer) {
  presentObserver.store(observer);
}

}  // namespace win::stand_in
