// Per-thread message queues and the cross-thread hand-over of sent messages.
#include "platform/posix/user/message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <map>

#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/display_host.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

struct QueueRegistry {
  std::mutex lock;
  std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

QueueRegistry& Registry() {
  static QueueRegistry* registry = new QueueRegistry;
  return *registry;
}

void Answer(SentItem& item, LRESULT result) {
  if (!item.reply) return;
  {
    std::lock_guard<std::mutex> guard(item.reply->lock);
    item.reply->result = result;
    item.reply->done = true;
  }
  item.reply->answered.notify_all();
}

// Windows destroys a thread's windows when the thread ends; their procedures
// are not called any more.
void EndThreadWindows(DWORD threadId) {
  std::vector<std::shared_ptr<Window>> gone;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    for (Window* window : WindowsLocked(threadId)) window->destroying = true;
  }
  if (DisplayHost* host = ActiveHost()) host->ThreadEnded(threadId);
  std::lock_guard<std::mutex> guard(UserLock());
  for (Window* window : WindowsLocked(threadId)) RemoveWindowLocked(window->handle);
}

struct QueueOwner {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueOwner() {
    if (!queue) return;
    EndThreadWindows(queue->threadId);
    std::deque<SentItem> unanswered;
    {
      std::lock_guard<std::mutex> guard(Registry().lock);
      Registry().queues.erase(queue->threadId);
    }
    {
      std::lock_guard<std::mutex> guard(queue->lock);
      queue->ended = true;
      unanswered.swap(queue->sent);
      close(queue->wakeDescriptor);
      queue->wakeDescriptor = -1;
    }
    for (SentItem& item : unanswered) Answer(item, 0);
  }
};
thread_local QueueOwner currentQueue;

}  // namespace

ThreadQueue& CurrentQueue() {
  if (!currentQueue.queue) {
    auto queue = std::make_shared<ThreadQueue>();
    queue->threadId = GetCurrentThreadId();
    queue->wakeDescriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    {
      std::lock_guard<std::mutex> guard(Registry().lock);
      Registry().queues[queue->threadId] = queue;
    }
    currentQueue.queue = queue;
  }
  return *currentQueue.queue;
}

std::shared_ptr<ThreadQueue> FindQueue(DWORD threadId) {
  std::lock_guard<std::mutex> guard(Registry().lock);
  auto found = Registry().queues.find(threadId);
  return found == Registry().queues.end() ? nullptr : found->second;
}

void Wake(ThreadQueue& queue) {
  std::lock_guard<std::mutex> guard(queue.lock);
  uint64_t one = 1;
  if (!queue.ended && write(queue.wakeDescriptor, &one, sizeof one) < 0) {
  }
}

void WakeThread(DWORD threadId) {
  std::lock_guard<std::mutex> guard(Registry().lock);
  auto found = Registry().queues.find(threadId);
  if (found != Registry().queues.end()) Wake(*found->second);
}

void ResetWake(ThreadQueue& queue) {
  uint64_t count;
  if (read(queue.wakeDescriptor, &count, sizeof count) < 0) {
  }
}

void WaitForQueue(ThreadQueue& queue, int hostDescriptor, int timeoutMilliseconds) {
  pollfd waits[2] = {{queue.wakeDescriptor, POLLIN, 0}, {hostDescriptor, POLLIN, 0}};
  while (poll(waits, hostDescriptor >= 0 ? 2 : 1, timeoutMilliseconds) < 0 && errno == EINTR) {
  }
}

bool PostToThread(DWORD threadId, const MSG& message) {
  std::shared_ptr<ThreadQueue> queue = FindQueue(threadId);
  if (!queue) return false;
  {
    std::lock_guard<std::mutex> guard(queue->lock);
    if (queue->ended) return false;
    queue->posted.push_back(message);
  }
  Wake(*queue);
  return true;
}

bool DeliverSentMessages(ThreadQueue& queue) {
  bool any = false;
  for (;;) {
    SentItem item;
    {
      std::lock_guard<std::mutex> guard(queue.lock);
      if (queue.sent.empty()) return any;
      item = std::move(queue.sent.front());
      queue.sent.pop_front();
    }
    any = true;
    if (item.work) {
      item.work();
      Answer(item, 0);
    } else {
      const MSG& m = item.message;
      Answer(item, CallWindowProcedure(m.hwnd, m.message, m.wParam, m.lParam));
    }
  }
}

static bool QueueSent(DWORD threadId, SentItem item) {
  std::shared_ptr<ThreadQueue> queue = FindQueue(threadId);
  if (!queue) return false;
  {
    std::lock_guard<std::mutex> guard(queue->lock);
    if (queue->ended) return false;
    queue->sent.push_back(std::move(item));
  }
  Wake(*queue);
  return true;
}

// A thread waiting for an answer still answers what is sent to it, so two
// threads sending to each other do not lock up.
static LRESULT WaitForAnswer(SentReply& reply) {
  std::shared_ptr<ThreadQueue> own = FindQueue(GetCurrentThreadId());
  std::unique_lock<std::mutex> guard(reply.lock);
  while (!reply.done) {
    reply.answered.wait_for(guard, std::chrono::milliseconds(5));
    if (!reply.done && own) {
      guard.unlock();
      DeliverSentMessages(*own);
      guard.lock();
    }
  }
  return reply.result;
}

LRESULT SendToThread(DWORD threadId, const MSG& message) {
  auto reply = std::make_shared<SentReply>();
  SentItem item;
  item.message = message;
  item.reply = reply;
  if (!QueueSent(threadId, std::move(item))) return 0;
  return WaitForAnswer(*reply);
}

bool RunOnThread(DWORD threadId, std::function<void()> work) {
  SentItem item;
  item.work = std::move(work);
  return QueueSent(threadId, std::move(item));
}

bool RunOnThreadAndWait(DWORD threadId, std::function<void()> work) {
  auto reply = std::make_shared<SentReply>();
  SentItem item;
  item.work = std::move(work);
  item.reply = reply;
  if (!QueueSent(threadId, std::move(item))) return false;
  WaitForAnswer(*reply);
  return true;
}

void DropPostedMessagesOf(HWND window) {
  std::lock_guard<std::mutex> registryGuard(Registry().lock);
  for (auto& [id, queue] : Registry().queues) {
    std::lock_guard<std::mutex> guard(queue->lock);
    std::erase_if(queue->posted, [window](const MSG& m) { return m.hwnd == window; });
  }
}

DWORD MessageTime() {
  static const auto start = std::chrono::steady_clock::now();
  auto elapsed = std::chrono::steady_clock::now() - start;
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace win::stand_in
