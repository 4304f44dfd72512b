#include "platform/posix/console/terminal_writer.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace win::stand_in {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto WriteInterval = std::chrono::milliseconds(10);

struct Output {
  std::mutex lock;  // the pending bytes and the write bookkeeping
  std::condition_variable pendingChanged;
  Clock::time_point lastWrite;
  int writes = 0;
  bool flusherRunning = false;
};

// Made on first use and never freed: the flusher may still wait on it while the process exits.
Output& TheOutput() {
  static Output* output = new Output;
  return *output;
}

std::atomic<int> outputFd{-1};

// Appended under Output::lock; the way out, which can take no lock, writes the
// published part once it has claimed them, and a writer claims them for the
// time of its write.
constexpr size_t PendingCapacity = 1 << 18;
char pendingBytes[PendingCapacity];
std::atomic<size_t> pendingLength{0};
std::atomic<bool> outputClaimed{false};

// Output::lock held. False when the way out owns the output.
bool WritePendingLocked() {
  size_t n = pendingLength.load(std::memory_order_acquire);
  if (n == 0) return true;
  bool expected = false;
  if (!outputClaimed.compare_exchange_strong(expected, true)) return false;
  WriteAll(outputFd, pendingBytes, n);
  pendingLength.store(0, std::memory_order_release);
  outputClaimed.store(false, std::memory_order_release);
  TheOutput().lastWrite = Clock::now();
  ++TheOutput().writes;
  return true;
}

void WriteDirectLocked(const std::string& bytes) {
  bool expected = false;
  if (!outputClaimed.compare_exchange_strong(expected, true)) return;
  WriteAll(outputFd, bytes.data(), bytes.size());
  outputClaimed.store(false, std::memory_order_release);
  TheOutput().lastWrite = Clock::now();
  ++TheOutput().writes;
}

void FlushLater() {
  std::unique_lock<std::mutex> guard(TheOutput().lock);
  for (;;) {
    if (pendingLength.load(std::memory_order_acquire) == 0) {
      TheOutput().pendingChanged.wait(guard);
      continue;
    }
    Clock::time_point due = TheOutput().lastWrite + WriteInterval;
    if (Clock::now() < due) {
      TheOutput().pendingChanged.wait_until(guard, due);
      continue;
    }
    if (!WritePendingLocked()) TheOutput().pendingChanged.wait_for(guard, WriteInterval);
  }
}

}  // namespace

void WriteAll(int fd, const char* bytes, size_t count) {
  int stalls = 0;
  while (count > 0) {
    ssize_t n = write(fd, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN && stalls++ < 100) {
      pollfd writable{fd, POLLOUT, 0};
      poll(&writable, 1, 20);
    } else {
      return;
    }
  }
}

void SetTerminalOutput(int fd) {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  pendingLength.store(0, std::memory_order_release);
  outputFd = fd;
}

int TerminalOutput() {
  return outputFd;
}

void Deliver(const std::string& bytes) {
  if (bytes.empty() || outputFd < 0) return;
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  size_t n = pendingLength.load(std::memory_order_relaxed);
  if (n + bytes.size() > PendingCapacity) {
    WritePendingLocked();
    n = pendingLength.load(std::memory_order_relaxed);
    if (n + bytes.size() > PendingCapacity) return WriteDirectLocked(bytes);
  }
  std::memcpy(pendingBytes + n, bytes.data(), bytes.size());
  pendingLength.store(n + bytes.size(), std::memory_order_release);
  if (Clock::now() - TheOutput().lastWrite >= WriteInterval)
    WritePendingLocked();
  else if (n == 0)
    TheOutput().pendingChanged.notify_one();
}

void FlushNow() {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  WritePendingLocked();
}

void FlushSetUp() {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  WritePendingLocked();
  TheOutput().lastWrite = {};
}

void StartFlusher() {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  if (TheOutput().flusherRunning) return;
  TheOutput().flusherRunning = true;
  // The flusher takes no signal, so the way out never waits for the thread it interrupted.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  std::thread(FlushLater).detach();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

int WritesSoFar() {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  return TheOutput().writes;
}

void WriteOnTheWayOut(const char* bytes, size_t count, bool pendingFirst) {
  int fd = outputFd;
  if (fd < 0) return;
  bool claimed = false;
  // A writer on another thread finishes its write first.
  for (int i = 0; i < 100 && !claimed; ++i) {
    bool expected = false;
    claimed = outputClaimed.compare_exchange_strong(expected, true);
    if (!claimed) {
      timespec delay{0, 1000000};
      nanosleep(&delay, nullptr);
    }
  }
  if (claimed && pendingFirst) WriteAll(fd, pendingBytes, pendingLength.load(std::memory_order_acquire));
  WriteAll(fd, bytes, count);
  // The waiting bytes are written; they must not be written again.
  if (claimed && !pendingFirst) outputClaimed.store(false, std::memory_order_release);
}

}  // namespace win::stand_in
