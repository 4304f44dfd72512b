// What tests learn about windows: their facts, pixels, and waits for paints.
#include <chrono>
#include <map>

#include "platform/posix/testing/memory_display.h"
#include "platform/posix/testing/x11_display.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

struct WindowCounts {
  int paints = 0;
  std::map<UINT, int> delivered;
};

// Guarded by UserLock(), under which the window manager tells of the events.
std::map<HWND, WindowCounts>& Counts() {
  static auto* counts = new std::map<HWND, WindowCounts>;
  return *counts;
}

const WindowObserver Counter = {
    [](HWND window, UINT message) { ++Counts()[window].delivered[message]; },
    [](HWND window) { ++Counts()[window].paints; },
};

int PaintsLocked(HWND window) {
  auto found = Counts().find(window);
  return found == Counts().end() ? 0 : found->second.paints;
}

}  // namespace

void CountWindowEvents() {
  ObserveWindows(&Counter);
  CountPresents();
}

WindowFacts DescribeWindow(HWND window) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* w = FindWindowLocked(window);
  WindowFacts facts;
  if (!w) return facts;
  facts.exists = true;
  facts.caption = w->caption;
  facts.className = w->className;
  facts.style = w->style;
  facts.parent = w->parent;
  facts.threadId = w->threadId;
  facts.visible = w->visible;
  facts.minimized = w->minimized;
  facts.maximized = w->maximized;
  facts.placement = w->placement;
  facts.clientWidth = w->clientWidth;
  facts.clientHeight = w->clientHeight;
  facts.updatePending = w->updatePending;
  facts.update = w->update;
  facts.paints = PaintsLocked(window);
  return facts;
}

HWND FindTopLevelWindow(const char* caption) {
  std::lock_guard<std::mutex> guard(UserLock());
  HWND found = nullptr;
  for (Window* w : WindowsLocked(0))
    if (!w->parent && (!caption || w->caption == caption)) found = w->handle;
  return found;
}

std::vector<COLORREF> ClientPixels(HWND window) {
  std::shared_ptr<WindowSurface> surface;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(window);
    if (!w) return {};
    surface = w->surface;
  }
  std::lock_guard<ShortLock> guard(surface->lock);
  return surface->pixels;
}

COLORREF ClientPixel(HWND window, int x, int y) {
  std::shared_ptr<WindowSurface> surface;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(window);
    if (!w) return CLR_INVALID;
    surface = w->surface;
  }
  std::lock_guard<ShortLock> guard(surface->lock);
  if (x < 0 || y < 0 || x >= surface->width || y >= surface->height) return CLR_INVALID;
  return surface->pixels[static_cast<size_t>(y) * static_cast<size_t>(surface->width) + static_cast<size_t>(x)];
}

bool WaitForPaints(HWND window, int paints, int timeoutMilliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  std::unique_lock<std::mutex> guard(UserLock());
  for (;;) {
    Window* w = FindWindowLocked(window);
    if (!w) return false;
    if (PaintsLocked(window) >= paints) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    WaitForWindowChange(guard, 10);
  }
}

bool WaitForDestruction(HWND window, int timeoutMilliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  std::unique_lock<std::mutex> guard(UserLock());
  while (FindWindowLocked(window)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    WaitForWindowChange(guard, 10);
  }
  return true;
}

int MessageCount(HWND window, UINT message) {
  std::lock_guard<std::mutex> guard(UserLock());
  if (!FindWindowLocked(window)) return 0;
  auto found = Counts().find(window);
  if (found == Counts().end()) return 0;
  auto count = found->second.delivered.find(message);
  return count == found->second.delivered.end() ? 0 : count->second;
}

QueueCounts QueueOfThread(DWORD threadId) {
  QueueCounts counts;
  std::shared_ptr<ThreadQueue> queue = FindQueue(threadId);
  if (!queue) return counts;
  std::lock_guard<std::mutex> guard(queue->lock);
  counts.exists = true;
  counts.sent = static_cast<int>(queue->sent.size());
  counts.posted = static_cast<int>(queue->posted.size());
  counts.quitPending = queue->quitPending;
  return counts;
}

}  // namespace win::stand_in
