// Locks held for a few instructions on every character or pixel: taking a free
// one is one compare-exchange, giving it back one exchange, and a thread that
// finds one held sleeps on its word until it is given back, however long that is.
#pragma once

#include <atomic>

namespace win::stand_in {

class ShortLock {
 public:
  void lock() {
    int expected = Free;
    if (!state_.compare_exchange_strong(expected, Held, std::memory_order_acquire)) WaitForIt();
  }
  bool try_lock() {
    int expected = Free;
    return state_.compare_exchange_strong(expected, Held, std::memory_order_acquire);
  }
  void unlock() {
    if (state_.exchange(Free, std::memory_order_release) == Wanted) state_.notify_one();
  }

 private:
  enum : int { Free, Held, Wanted };  // Wanted: held, and a thread may sleep on it

  void WaitForIt() {
    while (state_.exchange(Wanted, std::memory_order_acquire) != Free) state_.wait(Wanted, std::memory_order_relaxed);
  }

  std::atomic<int> state_{Free};
};

// A ShortLock the holder may take again, as a host's callbacks come back into
// the model they were called from, and as a critical section allows.
class RecursiveShortLock {
 public:
  void lock() {
    const void* self = ThisThread();
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return;
    }
    word_.lock();
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
  }
  bool try_lock() {
    const void* self = ThisThread();
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return true;
    }
    if (!word_.try_lock()) return false;
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
    return true;
  }
  void unlock() {
    if (--depth_ > 0) return;
    owner_.store(nullptr, std::memory_order_relaxed);
    word_.unlock();
  }

 private:
  static const void* ThisThread() {
    static thread_local char marker;
    return &marker;
  }

  ShortLock word_;
  std::atomic<const void*> owner_{nullptr};  // read unlocked only to see whether it is this thread
  int depth_ = 0;                            // the owner's
};

}  // namespace win::stand_in
