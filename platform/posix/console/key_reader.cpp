#include "platform/posix/console/key_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/posix/console/terminal_mode.h"

namespace win::stand_in {
namespace {

using Clock = std::chrono::steady_clock;
// How long the reader rests after a refused read, or while reads are held.
constexpr int RestMs = 50;

struct Reader {
  std::mutex lock;  // the fields below; fd, wake and owner change only while no thread reads
  std::condition_variable news;
  std::condition_variable gone;  // the thread has stopped reading
  std::vector<INPUT_RECORD> events;
  KeyDecoder decoder;
  std::chrono::milliseconds escapeWait{0};
  Clock::time_point lastByte;
  int earlyBytes = 0;
  int fd = -1;             // a copy of the program's descriptor, so that it is never one reused elsewhere
  int wake[2] = {-1, -1};  // a byte here ends a wait of the reader's thread
  bool reading = false;    // the thread runs and uses the fields above
  pid_t owner = 0;         // the process the thread and the pipe belong to
};

// Made on first use and never freed: the reader may still wait on it while the process exits.
Reader& TheReader() {
  static Reader* reader = new Reader;
  return *reader;
}

// hasNews: events waiting, the input ended or a read refused; changed under Reader::lock.
std::atomic<bool> hasNews{false}, ended{false}, backgroundRead{false};
std::atomic<bool> held{false}, stopping{false};

// Reader::lock held.
void Announce() {
  hasNews = !TheReader().events.empty() || ended || backgroundRead;
  if (hasNews) TheReader().news.notify_all();
}

// Reader::lock held.
void TakeBytes(unsigned char* bytes, size_t count) {
  Reader& r = TheReader();
  for (size_t i = 0; i < count && r.earlyBytes > 0; ++i, --r.earlyBytes)
    if (bytes[i] == '\n') bytes[i] = '\r';
  DecodeKeyBytes(r.decoder, bytes, count, r.events);
  r.lastByte = Clock::now();
  Announce();
}

void Wake() {
  int fd = TheReader().wake[1];
  if (fd >= 0) (void)!write(fd, "", 1);
}

// Until the wake pipe has a byte, or `ms` (-1: no limit) have passed with fd silent.
int WaitFor(int fd, int ms) {
  Reader& r = TheReader();
  pollfd ready[2] = {{r.wake[0], POLLIN, 0}, {fd, POLLIN, 0}};
  int n = poll(ready, fd >= 0 ? 2 : 1, ms);
  if (ready[0].revents & POLLIN) {
    char drained[64];
    while (read(r.wake[0], drained, sizeof drained) > 0) {
    }
  }
  return n > 0 && fd >= 0 ? ready[1].revents : 0;
}

// How long the reader may wait for a byte: not past the moment a waiting Esc becomes a key.
int ByteWait() {
  Reader& r = TheReader();
  std::lock_guard<std::mutex> guard(r.lock);
  if (!KeyDecoderWaiting(r.decoder)) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(r.lastByte + r.escapeWait - Clock::now());
  return static_cast<int>(std::max<long long>(left.count() + 1, 0));
}

void EndKeyIfLate() {
  Reader& r = TheReader();
  std::lock_guard<std::mutex> guard(r.lock);
  if (KeyDecoderWaiting(r.decoder) && Clock::now() - r.lastByte >= r.escapeWait) {
    EndKeyBytes(r.decoder, r.events);
    Announce();
  }
}

// The terminal is the process's own and another group is in its foreground.
bool InBackgroundOf(int fd) {
  pid_t group = tcgetpgrp(fd);
  return group > 0 && group != getpgrp();
}

void ReadUntilStoppedOrEnded() {
  Reader& r = TheReader();
  unsigned char bytes[512];
  while (!stopping) {
    int readable = WaitFor(r.fd, ByteWait());
    if (stopping) return;
    if (!readable) {
      EndKeyIfLate();
      continue;
    }
    if (held || ContinuePending()) {
      WaitFor(-1, RestMs);
      continue;
    }
    ssize_t n = read(r.fd, bytes, sizeof bytes);
    if (n > 0) {
      std::lock_guard<std::mutex> guard(r.lock);
      TakeBytes(bytes, static_cast<size_t>(n));
    } else if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
    } else if (n < 0 && errno == EIO) {
      // Refused while in the background, as a thread that takes no SIGTTIN is.
      if (InBackgroundOf(r.fd)) {
        std::lock_guard<std::mutex> guard(r.lock);
        backgroundRead = true;
        Announce();
      }
      WaitFor(-1, RestMs);
    } else {
      std::lock_guard<std::mutex> guard(r.lock);
      ended = true;
      Announce();
      return;
    }
  }
}

void ReadKeys() {
  ReadUntilStoppedOrEnded();
  std::lock_guard<std::mutex> guard(TheReader().lock);
  TheReader().reading = false;
  TheReader().gone.notify_all();
}

}  // namespace

void StartKeyReader(int fd, const KeyDecoder& decoder, std::chrono::milliseconds escapeWait, int earlyBytes,
                    std::string typed) {
  StopKeyReader();
  Reader& r = TheReader();
  if (r.wake[0] < 0 && pipe2(r.wake, O_CLOEXEC | O_NONBLOCK) != 0) r.wake[0] = r.wake[1] = -1;
  r.owner = getpid();
  std::lock_guard<std::mutex> guard(r.lock);
  r.events.clear();
  r.decoder = decoder;
  r.escapeWait = escapeWait;
  r.earlyBytes = earlyBytes;
  r.fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  ended = r.fd < 0 && errno == EBADF;
  backgroundRead = false;
  held = false;
  TakeBytes(reinterpret_cast<unsigned char*>(typed.data()), typed.size());
  if (r.wake[0] < 0 || r.fd < 0) return;
  // The reader takes no signal: they reach the program's thread, and a stop
  // or a read in the background never waits for it.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  std::thread(ReadKeys).detach();
  r.reading = true;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void StopKeyReader() {
  Reader& r = TheReader();
  std::unique_lock<std::mutex> guard(r.lock);
  if (r.owner != getpid() && r.owner != 0) {
    // A child forked while the reader ran has neither its thread nor a pipe of its own.
    r.reading = false;
    close(r.wake[0]);
    close(r.wake[1]);
    r.wake[0] = r.wake[1] = -1;
  }
  if (r.reading) {
    stopping = true;
    Wake();
    r.gone.wait(guard, [&] { return !r.reading; });
    stopping = false;
  }
  if (r.fd >= 0) close(r.fd);
  r.fd = -1;
  r.events.clear();
  ended = false;
  backgroundRead = false;
  Announce();
}

bool KeyReaderNews() {
  return hasNews.load(std::memory_order_acquire);
}

void WaitForKeyReaderNews(std::chrono::milliseconds limit) {
  Reader& r = TheReader();
  std::unique_lock<std::mutex> guard(r.lock);
  r.news.wait_for(guard, limit, [] { return hasNews.load(); });
}

void TakeKeyEvents(std::deque<INPUT_RECORD>& queue) {
  Reader& r = TheReader();
  std::lock_guard<std::mutex> guard(r.lock);
  queue.insert(queue.end(), r.events.begin(), r.events.end());
  r.events.clear();
  Announce();
}

bool KeyInputEnded() {
  return ended;
}

bool TakeBackgroundRead() {
  if (!backgroundRead) return false;
  std::lock_guard<std::mutex> guard(TheReader().lock);
  backgroundRead = false;
  Announce();
  return InBackgroundOf(TheReader().fd);
}

void HoldKeyReads() {
  held = true;
}

void SetEarlyKeyBytes(int earlyBytes) {
  std::lock_guard<std::mutex> guard(TheReader().lock);
  TheReader().earlyBytes = earlyBytes;
}

void ResumeKeyReads() {
  held = false;
  Wake();
}

}  // namespace win::stand_in
