// The stand-in's start-up: what a Windows process has before its first
// instruction, set up once by the program's entry.
#include <atomic>

#include "platform/posix/console/console_start.h"
#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/stand_in.h"

namespace win::stand_in {

void Start() {
  static std::atomic<bool> started{false};
  if (started.exchange(true)) return;
  HoldClosedStandardDescriptors();
  CatchEndingSignals();
  StartConsole();
}

}  // namespace win::stand_in
