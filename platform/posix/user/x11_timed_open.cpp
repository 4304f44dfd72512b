// The display is opened on a helper thread that the caller stops waiting for
// at the time limit; a helper left behind ends whenever the server answers.
#include "platform/posix/user/x11_timed_open.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace win::stand_in {
namespace {

std::atomic<bool> displayDidNotAnswer{false};

struct Opening {
  void* (*open)();
  void (*discard)(void*);
  std::mutex lock;
  std::condition_variable finished;
  bool done = false, abandoned = false;
  void* result = nullptr;
};

void* OpenOnHelper(void* argument) {
  std::shared_ptr<Opening> opening(*static_cast<std::shared_ptr<Opening>*>(argument));
  delete static_cast<std::shared_ptr<Opening>*>(argument);
  void* result = opening->open();
  std::unique_lock<std::mutex> guard(opening->lock);
  if (opening->abandoned) {
    guard.unlock();
    if (result) opening->discard(result);
    return nullptr;
  }
  opening->result = result;
  opening->done = true;
  opening->finished.notify_all();
  return nullptr;
}

// The helper blocks every signal it can: Ctrl+C and the like are for the
// program's own threads.
bool StartHelper(const std::shared_ptr<Opening>& opening) {
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  auto* argument = new std::shared_ptr<Opening>(opening);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t helper;
  bool started = pthread_create(&helper, &attributes, OpenOnHelper, argument) == 0;
  pthread_attr_destroy(&attributes);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (!started) delete argument;
  return started;
}

}  // namespace

void* OpenWithinAnswerLimit(void* (*open)(), void (*discard)(void* opened)) {
  if (displayDidNotAnswer) return nullptr;
  auto opening = std::make_shared<Opening>();
  opening->open = open;
  opening->discard = discard;
  // With no thread to spare, the display is asked directly.
  if (!StartHelper(opening)) return open();
  std::unique_lock<std::mutex> guard(opening->lock);
  if (opening->finished.wait_for(guard, DisplayAnswerLimit, [&] { return opening->done; })) return opening->result;
  opening->abandoned = true;
  displayDidNotAnswer = true;
  return nullptr;
}

}  // namespace win::stand_in
