#include "platform/posix/console/console_calls.h"

#include <atomic>

namespace win::stand_in {
namespace {
std::atomic<ConsoleCallObserver> callObserver{nullptr};
}  // namespace

void ObserveConsoleCalls(ConsoleCallObserver observer) {
  callObserver = observer;
}

void NoteConsoleCall(ConsoleCall call) {
  if (ConsoleCallObserver observer = callObserver.load(std::memory_order_relaxed)) observer(call);
}

}  // namespace win::stand_in
