// The lock of a DC's pixels. Drawing holds it for one call, mostly a single
// pixel, so it is taken with one atomic exchange and given back with a plain
// store: half of what a mutex costs. A waiter spins a little, then yields its
// core to the holder.
#pragma once

#include <atomic>

namespace win::stand_in {

class ShortLock {
 public:
  void lock() {
    while (held_.exchange(true, std::memory_order_acquire)) WaitWhileHeld();
  }
  bool try_lock() { return !held_.load(std::memory_order_relaxed) && !held_.exchange(true, std::memory_order_acquire); }
  void unlock() { held_.store(false, std::memory_order_release); }

 private:
  void WaitWhileHeld() const;
  std::atomic<bool> held_{false};
};

}  // namespace win::stand_in
