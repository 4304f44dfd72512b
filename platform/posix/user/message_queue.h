// Per-thread message queues: messages sent from other threads (and work the
// stand-in hands to a window's thread), posted messages in order, the quit
// flag, and the wake-up a waiting GetMessageA blocks on.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/posix/win_types.h"

namespace win::stand_in {

struct SentReply {
  std::mutex lock;
  std::condition_variable answered;
  bool done = false;
  LRESULT result = 0;
};

// A message sent to a window of the queue's thread, or work to run there.
struct SentItem {
  MSG message{};
  std::function<void()> work;        // set: run this instead of a procedure
  std::shared_ptr<SentReply> reply;  // null: nobody waits (a notification)
};

struct ThreadQueue {
  DWORD threadId = 0;
  std::mutex lock;
  std::deque<SentItem> sent;
  std::deque<MSG> posted;
  bool quitPending = false;
  int quitCode = 0;
  bool ended = false;
  HWND activeWindow = nullptr;
  int wakeDescriptor = -1;  // an eventfd: readable while there is something new
};

// The calling thread's queue, made on first use; it ends with the thread,
// taking the thread's remaining windows with it.
ThreadQueue& CurrentQueue();
std::shared_ptr<ThreadQueue> FindQueue(DWORD threadId);

void WakeThread(DWORD threadId);
void Wake(ThreadQueue& queue);
// Blocks until the queue is woken, the descriptor (if any, >= 0) is readable
// or the timeout (-1: none) passes.
void WaitForQueue(ThreadQueue& queue, int hostDescriptor, int timeoutMilliseconds);
// Clears the wake-up; call before looking at the queue.
void ResetWake(ThreadQueue& queue);

bool PostToThread(DWORD threadId, const MSG& message);
// Runs every message sent to this thread's windows; true if any ran.
bool DeliverSentMessages(ThreadQueue& queue);
// Sends across threads and waits for the answer, running messages sent to the
// waiting thread meanwhile. 0 when the target thread has no queue or ends.
LRESULT SendToThread(DWORD threadId, const MSG& message);
// Queues work for a thread's next message retrieval; false when it has no queue.
bool RunOnThread(DWORD threadId, std::function<void()> work);
// The same, waiting until the work has run (or the thread ended).
bool RunOnThreadAndWait(DWORD threadId, std::function<void()> work);
void DropPostedMessagesOf(HWND window);

// Milliseconds since the stand-in started, as MSG::time.
DWORD MessageTime();

}  // namespace win::stand_in
