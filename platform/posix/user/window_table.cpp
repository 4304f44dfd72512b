// The table of windows and the calls into their procedures.
#include <algorithm>
#include <atomic>
#include <condition_variable>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

struct WindowTable {
  std::mutex lock;
  std::condition_variable changed;
  std::map<uintptr_t, std::shared_ptr<Window>> windows;
  uintptr_t nextHandle = 0x10010;
  uint64_t nextOrder = 1;
};

std::atomic<const WindowObserver*> observer{nullptr};

// Never destroyed: threads may still end (and clean up their windows) while
// the process's static objects are being torn down.
WindowTable& Table() {
  static WindowTable* table = new WindowTable;
  return *table;
}

uintptr_t KeyOf(HWND handle) {
  return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

void ObserveWindows(const WindowObserver* windowObserver) {
  observer.store(windowObserver);
}

const WindowObserver* WindowsObserver() {
  return observer.load();
}

std::mutex& UserLock() {
  return Table().lock;
}

Window* FindWindowLocked(HWND handle) {
  auto found = Table().windows.find(KeyOf(handle));
  return found == Table().windows.end() ? nullptr : found->second.get();
}

HWND AddWindowLocked(std::shared_ptr<Window> window) {
  WindowTable& table = Table();
  HWND handle = reinterpret_cast<HWND>(table.nextHandle);
  table.nextHandle += 4;  // handles are never reused
  window->handle = handle;
  window->creationOrder = table.nextOrder++;
  table.windows[KeyOf(handle)] = std::move(window);
  return handle;
}

void RemoveWindowLocked(HWND handle) {
  Table().windows.erase(KeyOf(handle));
  Table().changed.notify_all();
}

std::vector<Window*> WindowsLocked(DWORD threadId) {
  std::vector<Window*> result;
  for (auto& [key, window] : Table().windows)
    if (threadId == 0 || window->threadId == threadId) result.push_back(window.get());
  std::sort(result.begin(), result.end(),
            [](const Window* a, const Window* b) { return a->creationOrder < b->creationOrder; });
  return result;
}

std::vector<HWND> ChildrenLocked(HWND parent) {
  std::vector<HWND> children;
  for (Window* window : WindowsLocked(0))
    if (window->parent == parent) children.push_back(window->handle);
  return children;
}

bool PaintableLocked(const Window& window) {
  for (const Window* w = &window; w; w = w->parent ? FindWindowLocked(w->parent) : nullptr)
    if (!w->visible || w->minimized || w->destroying) return false;
  return true;
}

bool WithinFilterLocked(const Window& window, HWND filter) {
  if (!filter) return true;
  for (const Window* w = &window; w; w = w->parent ? FindWindowLocked(w->parent) : nullptr)
    if (w->handle == filter) return true;
  return false;
}

Window* FindOwnWindowLocked(HWND handle) {
  Window* window = FindWindowLocked(handle);
  if (!window) {
    SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (window->threadId != GetCurrentThreadId()) {
    SetLastErrorCode(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return window;
}

LRESULT CallWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(handle);
    if (!window || !window->procedure) return 0;
    procedure = window->procedure;
    if (const WindowObserver* observer = WindowsObserver()) observer->delivered(handle, message);
  }
  return procedure(handle, message, wParam, lParam);
}

void InvalidateLocked(Window& window, const RECT* rect, bool erase) {
  RECT area = rect ? *rect : RECT{0, 0, window.clientWidth, window.clientHeight};
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, window.clientWidth);
  area.bottom = std::min<LONG>(area.bottom, window.clientHeight);
  if (area.left >= area.right || area.top >= area.bottom) return;
  if (!window.updatePending) {
    window.update = area;
    window.updatePending = true;
  } else {
    window.update.left = std::min(window.update.left, area.left);
    window.update.top = std::min(window.update.top, area.top);
    window.update.right = std::max(window.update.right, area.right);
    window.update.bottom = std::max(window.update.bottom, area.bottom);
  }
  window.erasePending = window.erasePending || erase;
  WakeThread(window.threadId);
}

void NotifyWindowChange() {
  Table().changed.notify_all();
}

void WaitForWindowChange(std::unique_lock<std::mutex>& lock, int milliseconds) {
  Table().changed.wait_for(lock, std::chrono::milliseconds(milliseconds));
}

}  // namespace win::stand_in
