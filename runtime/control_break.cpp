// The console control handler runs wherever the platform delivers the event
// (a thread of its own on Windows, a signal handler elsewhere), so it does no
// more than set a flag.
#include "runtime/control_break.h"

#include <atomic>

#include "platform/win.h"
#include "runtime/fault_filter.h"

namespace rtl {

namespace {

std::atomic<bool> BreakPending{false};
static_assert(std::atomic<bool>::is_always_lock_free);

win::BOOL WINAPI BreakHandler(win::DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  BreakPending.store(true);
  return TRUE;
}

}  // namespace

void InstallBreakHandler() {
  win::SetConsoleCtrlHandler(BreakHandler, TRUE);
}

void SafePoint(void* frame) {
  if (BreakPending.load(std::memory_order_relaxed)) RaiseExceptionFrame(STATUS_CONTROL_C_EXIT, frame);
}

}  // namespace rtl
