// What tests learn about the X11 host: the X window behind a window, and how
// many requests presenting drawings took since CountWindowEvents.
#pragma once

#include <cstdint>

#include "platform/posix/win_types.h"

namespace win::stand_in {

unsigned long X11WindowOf(HWND window);  // 0 when it has none

struct X11PresentCounts {
  uint64_t images = 0;    // damage rectangles sent
  uint64_t requests = 0;  // server requests those took
  uint64_t pixels = 0;
};
X11PresentCounts PresentCounts();
// Installed by CountWindowEvents.
void CountPresents();

}  // namespace win::stand_in
