// Ctrl+C as run-time error 217. The console control handler only notes the
// event; the main thread leaves through the error path at its next safe point,
// a place where it holds no lock (a key poll, the sleep of a key wait or a
// delay, a blocking read, the wait for the graph window).
#pragma once

namespace rtl {

void InstallBreakHandler();

// A safe point. frame is __builtin_frame_address(0) of the function holding
// the safe point: a pending Ctrl+C is reported at that function's caller.
void SafePoint(void* frame);

}  // namespace rtl
