// What the window manager keeps per class and per window, and the one table
// that holds them. Everything here is guarded by UserLock(); the pixels of a
// window's client area are guarded by its surface's own lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/gdi/window_surface.h"
#include "platform/posix/win_types.h"

namespace win::stand_in {

struct WindowClassRecord {
  std::string name;
  ATOM atom = 0;
  WNDCLASSA fields{};  // lpszClassName points at name
};

struct WindowTimer {
  UINT interval = 0;  // milliseconds
  std::chrono::steady_clock::time_point due;
};

struct Window {
  HWND handle = nullptr;
  DWORD threadId = 0;  // the creating thread: the only one that runs its procedure
  WNDPROC procedure = nullptr;
  std::string className;
  UINT classStyle = 0;
  HBRUSH background = nullptr;
  std::string caption;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  uint64_t creationOrder = 0;

  // Outer rectangle in the parent's client coordinates (the screen for top-level
  // windows), and the one a restore returns to.
  RECT placement{};
  RECT normalPlacement{};
  bool defaultPosition = false;  // CW_USEDEFAULT: the host places it
  int clientWidth = 0;
  int clientHeight = 0;
  std::shared_ptr<WindowSurface> surface;

  bool visible = false;
  bool minimized = false;
  bool maximized = false;
  bool sizeReported = false;  // the first WM_SIZE has been sent
  bool destroying = false;

  // The update region, kept as its bounding rectangle.
  bool updatePending = false;
  RECT update{};
  bool erasePending = false;

  std::map<UINT_PTR, WindowTimer> timers;

  // Host side.
  unsigned long hostWindow = 0;  // the X window, 0 for none
  bool hostMapped = false;
};

std::mutex& UserLock();

// Lookups; the caller holds UserLock(). Null when the handle is not a live window.
Window* FindWindowLocked(HWND handle);
const WindowClassRecord* FindClassLocked(LPCSTR nameOrAtom);

HWND AddWindowLocked(std::shared_ptr<Window> window);
void RemoveWindowLocked(HWND handle);
// Windows of a thread, or all windows (threadId 0), in creation order.
std::vector<Window*> WindowsLocked(DWORD threadId);
std::vector<HWND> ChildrenLocked(HWND parent);
// A window and all its ancestors are shown, and none is minimised.
bool PaintableLocked(const Window& window);
// GetMessageA's window filter: the window is the filter or lies within it;
// every window passes a null filter.
bool WithinFilterLocked(const Window& window, HWND filter);
// The window, when it exists and belongs to the calling thread; else null,
// with the last error set as the window manager sets it.
Window* FindOwnWindowLocked(HWND handle);

// Told, with UserLock() held, of every message that reaches a window's
// procedure and of every completed paint (BeginPaint/EndPaint pair).
struct WindowObserver {
  void (*delivered)(HWND window, UINT message);
  void (*painted)(HWND window);
};
void ObserveWindows(const WindowObserver* observer);
const WindowObserver* WindowsObserver();

// Calls a window's procedure on the current thread, without the lock held, and
// tells the observer. 0 when the window is gone.
LRESULT CallWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

// Adds a rectangle of client coordinates (all of the client area for null) to
// the update region and wakes the window's thread. Caller holds UserLock().
void InvalidateLocked(Window& window, const RECT* rect, bool erase);

// Signalled (under UserLock()) whenever a paint completes or a window goes away.
void NotifyWindowChange();
void WaitForWindowChange(std::unique_lock<std::mutex>& lock, int milliseconds);

}  // namespace win::stand_in
