// Update regions, WM_PAINT generation, BeginPaint/EndPaint and window DCs.
#include "platform/posix/user/paint_cycle.h"

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

// Sends WM_ERASEBKGND with a DC clipped to the area; true when the procedure erased.
bool EraseBackground(HWND handle, std::shared_ptr<WindowSurface> surface, const RECT& area) {
  HDC dc = CreateWindowDC(std::move(surface), area);
  bool erased = CallWindowProcedure(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
  ReleaseWindowDC(dc);
  return erased;
}

}  // namespace

bool NextPaintMessage(HWND filter, MSG& message) {
  std::lock_guard<std::mutex> guard(UserLock());
  for (Window* window : WindowsLocked(GetCurrentThreadId())) {
    if (!window->updatePending || !PaintableLocked(*window) || !WithinFilterLocked(*window, filter)) continue;
    message = MSG{window->handle, WM_PAINT, 0, 0, MessageTime(), {0, 0}};
    return true;
  }
  return false;
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* window = FindWindowLocked(hWnd);
  if (!window) {
    SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  InvalidateLocked(*window, lpRect, bErase != FALSE);
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  RECT area;
  std::shared_ptr<WindowSurface> surface;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(hWnd);
    if (!window) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      if (lpRect) *lpRect = RECT{0, 0, 0, 0};
      return FALSE;
    }
    area = window->updatePending ? window->update : RECT{0, 0, 0, 0};
    if (lpRect) *lpRect = area;
    if (!window->updatePending) return FALSE;
    if (!bErase || !window->erasePending) return TRUE;
    window->erasePending = false;
    surface = window->surface;
  }
  if (!EraseBackground(hWnd, surface, area)) {
    std::lock_guard<std::mutex> guard(UserLock());
    if (Window* window = FindWindowLocked(hWnd)) window->erasePending = true;
  }
  return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (!lpPaint) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  RECT area;
  bool erase;
  std::shared_ptr<WindowSurface> surface;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(hWnd);
    if (!window) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    area = window->updatePending ? window->update : RECT{0, 0, 0, 0};
    erase = window->updatePending && window->erasePending;
    window->updatePending = false;
    window->erasePending = false;
    window->update = RECT{0, 0, 0, 0};
    surface = window->surface;
  }
  *lpPaint = PAINTSTRUCT{};
  lpPaint->rcPaint = area;
  lpPaint->fErase = erase && !EraseBackground(hWnd, surface, area);
  lpPaint->hdc = CreateWindowDC(surface, area);
  return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint && lpPaint->hdc) ReleaseWindowDC(lpPaint->hdc);
  std::lock_guard<std::mutex> guard(UserLock());
  const WindowObserver* observer = WindowsObserver();
  if (observer && FindWindowLocked(hWnd)) observer->painted(hWnd);
  NotifyWindowChange();
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  DWORD owner;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(hWnd);
    if (!window) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    if (!window->updatePending || !PaintableLocked(*window)) return TRUE;
    owner = window->threadId;
  }
  // Sent, not queued: the window is painted before UpdateWindow returns.
  if (owner == GetCurrentThreadId())
    CallWindowProcedure(hWnd, WM_PAINT, 0, 0);
  else
    SendToThread(owner, MSG{hWnd, WM_PAINT, 0, 0, MessageTime(), {0, 0}});
  return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
  std::shared_ptr<WindowSurface> surface;
  RECT client;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(hWnd);
    if (!window) {
      // The screen's own DC (hWnd null) is not offered: nothing here draws on the desktop.
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    surface = window->surface;
    client = RECT{0, 0, window->clientWidth, window->clientHeight};
  }
  return CreateWindowDC(std::move(surface), client);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
  return ReleaseWindowDC(hDC) ? 1 : 0;
}

}  // namespace win
