// The console's lock. Recursive, as a host's callbacks come back into the
// model; one compare-exchange to take and one exchange to give back when no
// other thread wants it, since the program takes it twice for every character.
#pragma once

#include <atomic>
#include <mutex>

namespace win::stand_in {

class ConsoleLock {
 public:
  void lock() {
    const void* self = ThisThread();
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return;
    }
    int expected = Free;
    if (!state_.compare_exchange_strong(expected, Held, std::memory_order_acquire)) WaitForIt();
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
  }

  void unlock() {
    if (--depth_ > 0) return;
    owner_.store(nullptr, std::memory_order_relaxed);
    if (state_.exchange(Free, std::memory_order_release) == Wanted) state_.notify_one();
  }

 private:
  enum : int { Free, Held, Wanted };  // Wanted: held, and a thread may sleep on it

  static const void* ThisThread() {
    static thread_local char marker;
    return &marker;
  }

  void WaitForIt() {
    while (state_.exchange(Wanted, std::memory_order_acquire) != Free) state_.wait(Wanted, std::memory_order_relaxed);
  }

  std::atomic<int> state_{Free};
  std::atomic<const void*> owner_{nullptr};  // read unlocked only to see whether it is this thread
  int depth_ = 0;                            // the owner's
};

using ConsoleGuard = std::lock_guard<ConsoleLock>;

}  // namespace win::stand_in
