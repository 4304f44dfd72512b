// SetTimer and KillTimer for window timers; a window's timers live in its
// record and go with it.
#include "platform/posix/user/timers.h"

#include <algorithm>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

using Clock = std::chrono::steady_clock;

constexpr UINT MinimumInterval = 10;  // USER_TIMER_MINIMUM
constexpr UINT MaximumInterval = 0x7FFFFFFF;

}  // namespace

bool NextTimerMessage(HWND filter, MSG& message) {
  std::lock_guard<std::mutex> guard(UserLock());
  Clock::time_point now = Clock::now();
  WindowTimer* earliest = nullptr;
  Window* owner = nullptr;
  UINT_PTR earliestId = 0;
  for (Window* window : WindowsLocked(GetCurrentThreadId())) {
    if (window->destroying || !WithinFilterLocked(*window, filter)) continue;
    for (auto& [id, timer] : window->timers) {
      if (timer.due > now || (earliest && timer.due >= earliest->due)) continue;
      earliest = &timer;
      owner = window;
      earliestId = id;
    }
  }
  if (!earliest) return false;
  earliest->due = now + std::chrono::milliseconds(earliest->interval);
  message = MSG{owner->handle, WM_TIMER, earliestId, 0, MessageTime(), {0, 0}};
  return true;
}

int MillisecondsToNextTimer() {
  std::lock_guard<std::mutex> guard(UserLock());
  Clock::time_point now = Clock::now();
  int64_t soonest = -1;
  for (Window* window : WindowsLocked(GetCurrentThreadId())) {
    for (auto& entry : window->timers) {
      int64_t wait = std::chrono::ceil<std::chrono::milliseconds>(entry.second.due - now).count();
      wait = std::max<int64_t>(wait, 0);
      if (soonest < 0 || wait < soonest) soonest = wait;
    }
  }
  return static_cast<int>(std::min<int64_t>(soonest, MaximumInterval));
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

// Only window timers without a callback: their WM_TIMER goes to the window's procedure.
UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  if (lpTimerFunc) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UINT interval = std::clamp(uElapse, MinimumInterval, MaximumInterval);
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindOwnWindowLocked(hWnd);
    if (!window) return 0;
    // Setting an existing timer again restarts it with the new interval.
    window->timers[nIDEvent] = WindowTimer{interval, Clock::now() + std::chrono::milliseconds(interval)};
  }
  return 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* window = FindWindowLocked(hWnd);
  if (!window || window->timers.erase(uIDEvent) == 0) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

}  // namespace win
