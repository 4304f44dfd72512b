// Opening the display with a time limit: a server that accepts the connection
// but does not answer (a stopped one, say) must not hold up the thread that
// asks, which may be the program's own before its first prompt.
#pragma once

#include <X11/Xlib.h>

#include <chrono>

namespace win::stand_in {

// How long a display may take to answer before it counts as none.
constexpr std::chrono::milliseconds DisplayAnswerLimit{500};

// Runs open() on a thread of its own and hands back its result, or null when
// it has not come back within DisplayAnswerLimit. A display that once did not
// answer in time is not asked again: every later call is null at once. A
// result that comes too late is handed to discard() on the opening thread.
void* OpenWithinAnswerLimit(void* (*open)(), void (*discard)(void* opened));

}  // namespace win::stand_in
