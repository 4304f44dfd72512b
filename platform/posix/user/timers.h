// Window timers: WM_TIMER is generated, like WM_PAINT, when the owning thread
// has nothing else to retrieve and a timer of one of its windows is due.
#pragma once

#include "platform/posix/win_types.h"

namespace win::stand_in {

// The WM_TIMER of the calling thread's window within the filter whose timer
// has been due longest; its next one falls an interval after now. False: none due.
bool NextTimerMessage(HWND filter, MSG& message);
// Milliseconds until the calling thread's next timer is due (0: one is due
// now), -1 when it has none.
int MillisecondsToNextTimer();

}  // namespace win::stand_in
