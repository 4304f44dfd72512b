// Where a window lies and how big its client area is: frames and caption from
// the window's style and the system metrics, the maximised placement, and
// ShowWindow's state changes.
#pragma once

#include "platform/posix/user/window_record.h"

namespace win::stand_in {

struct FrameSize {
  int width = 0;   // each side
  int height = 0;  // top and bottom each
  int caption = 0;
};
FrameSize FrameOf(DWORD style);
// A maximised top-level window: its client area is the full-screen client size.
RECT MaximizedPlacement(DWORD style);
// Sets the outer rectangle and the client size that follows from it; resizes
// the surface. True when the client size changed. Caller holds UserLock().
bool PlaceWindowLocked(Window& window, const RECT& placement);

// ShowWindow on the window's own thread.
BOOL ShowOnOwnThread(HWND handle, int command);

}  // namespace win::stand_in
