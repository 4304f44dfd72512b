// The paint cycle: update regions become WM_PAINT when a thread has nothing
// else to do; BeginPaint hands out a device context clipped to the region and
// validates it.
#pragma once

#include "platform/posix/win_types.h"

namespace win::stand_in {

// The WM_PAINT that GetMessageA generates for the first window of the calling
// thread that has something to paint, within the filter. False: none.
bool NextPaintMessage(HWND filter, MSG& message);

}  // namespace win::stand_in
