// What tests learn about the X11 host.
#include <atomic>

#include "platform/posix/testing/x11_display.h"
#include "platform/posix/user/window_record.h"
#include "platform/posix/user/x11_present.h"

namespace win::stand_in {
namespace {

std::atomic<uint64_t> imagesSent{0}, requestsSent{0}, pixelsSent{0};

void CountPresent(uint64_t images, uint64_t requests, uint64_t pixels) {
  imagesSent += images;
  requestsSent += requests;
  pixelsSent += pixels;
}

}  // namespace

void CountPresents() {
  ObservePresents(CountPresent);
}

X11PresentCounts PresentCounts() {
  return {imagesSent.load(), requestsSent.load(), pixelsSent.load()};
}

unsigned long X11WindowOf(HWND window) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* w = FindWindowLocked(window);
  return w ? w->hostWindow : 0;
}

}  // namespace win::stand_in
