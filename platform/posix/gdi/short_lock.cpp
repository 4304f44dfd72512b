// Waiting for a ShortLock: a few rounds of spinning, as most holds last less
// than a system call, then yielding, as a long one (a whole-window transfer)
// needs the holder to run.
#include "platform/posix/gdi/short_lock.h"

#include <thread>

namespace win::stand_in {

void ShortLock::WaitWhileHeld() const {
  constexpr int SpinRounds = 64;
  for (int round = 0; held_.load(std::memory_order_relaxed); ++round) {
    if (round < SpinRounds) {
#if defined(__x86_64__) || defined(__i386__)
      __builtin_ia32_pause();
#endif
    } else {
      std::this_thread::yield();
    }
  }
}

}  // namespace win::stand_in
