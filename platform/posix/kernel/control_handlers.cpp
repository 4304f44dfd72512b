// Console control handlers on SIGINT. The signal is taken on the main thread
// (another thread that receives it passes it on), without restarting the
// interrupted call, so that a blocking read or sleep there returns and its
// caller reaches a safe point.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/posix/kernel/control_events.h"
#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

constexpr int MaxHandlers = 8;
std::atomic<PHANDLER_ROUTINE> handlers[MaxHandlers];
std::atomic<int> handlerCount{0};
std::atomic<bool> ignoringControlC{false};
std::atomic<unsigned> eventsTaken{0};
const pthread_t mainThread = pthread_self();  // static initialisation runs on the main thread

bool CallHandlers(DWORD event) {
  for (int i = handlerCount.load() - 1; i >= 0; --i) {
    PHANDLER_ROUTINE handler = handlers[i].load();
    if (handler && handler(event)) return true;
  }
  return false;
}

void OnInterrupt(int signal) {
  int savedErrno = errno;
  if (!pthread_equal(pthread_self(), mainThread)) {
    pthread_kill(mainThread, signal);
  } else if (CallHandlers(CTRL_C_EVENT)) {
    eventsTaken.fetch_add(1);
  } else if (!ignoringControlC.load()) {
    RunExitHooks();
    _exit(128 + signal);
  }
  errno = savedErrno;
}

void CatchInterrupt() {
  static std::atomic<bool> caught{false};
  if (caught.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the main thread's wait returns
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

unsigned ControlEventsTaken() {
  return eventsTaken.load();
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add) {
  if (!HandlerRoutine) {
    ignoringControlC = Add != FALSE;
    CatchInterrupt();
    return TRUE;
  }
  int count = handlerCount.load();
  if (Add) {
    if (count >= MaxHandlers) {
      SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
    handlers[count].store(HandlerRoutine);
    handlerCount.store(count + 1);
    CatchInterrupt();
    return TRUE;
  }
  for (int i = count - 1; i >= 0; --i) {
    if (handlers[i].load() != HandlerRoutine) continue;
    for (int j = i; j + 1 < count; ++j) handlers[j].store(handlers[j + 1].load());
    handlerCount.store(count - 1);
    return TRUE;
  }
  SetLastErrorCode(ERROR_INVALID_PARAMETER);
  return FALSE;
}

}  // namespace win
