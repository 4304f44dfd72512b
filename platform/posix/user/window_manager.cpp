// Creating and destroying windows, and the calls that ask about them.
#include <algorithm>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/display_host.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/user/window_placement.h"

namespace win::stand_in {
namespace {

// Where Windows puts a window given CW_USEDEFAULT, and the size it gives one
// with a default size.
constexpr int DefaultPosition = 26;

RECT RequestedPlacement(DWORD style, int x, int y, int width, int height, bool& defaultPosition) {
  bool child = style & WS_CHILD;
  defaultPosition = !child && x == CW_USEDEFAULT;
  if (x == CW_USEDEFAULT) x = y = child ? 0 : DefaultPosition;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
    height = child ? 0 : GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  return RECT{x, y, static_cast<LONG>(static_cast<uint32_t>(x) + static_cast<uint32_t>(width)),
              static_cast<LONG>(static_cast<uint32_t>(y) + static_cast<uint32_t>(height))};
}

// The window is taken out of every list; its handle goes stale.
void ForgetWindow(HWND handle) {
  {
    std::lock_guard<std::mutex> guard(UserLock());
    RemoveWindowLocked(handle);
  }
  DropPostedMessagesOf(handle);
  std::shared_ptr<ThreadQueue> queue = FindQueue(GetCurrentThreadId());
  if (queue) {
    std::lock_guard<std::mutex> guard(queue->lock);
    if (queue->activeWindow == handle) queue->activeWindow = nullptr;
  }
}

// WM_DESTROY to a window before its children, WM_NCDESTROY after them.
void DestroyTree(HWND handle) {
  CallWindowProcedure(handle, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    children = ChildrenLocked(handle);
  }
  for (HWND child : children) DestroyTree(child);
  CallWindowProcedure(handle, WM_NCDESTROY, 0, 0);
  ForgetWindow(handle);
}

void MarkDestroyingLocked(HWND handle) {
  if (Window* window = FindWindowLocked(handle)) window->destroying = true;
  for (HWND child : ChildrenLocked(handle)) MarkDestroyingLocked(child);
}

}  // namespace
}  // namespace win::stand_in

namespace win {
using namespace stand_in;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  auto window = std::make_shared<Window>();
  {
    std::lock_guard<std::mutex> guard(UserLock());
    const WindowClassRecord* windowClass = FindClassLocked(lpClassName);
    if (!windowClass) {
      SetLastErrorCode(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    if (hWndParent && !FindWindowLocked(hWndParent)) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    if ((dwStyle & WS_CHILD) && !hWndParent) {
      SetLastErrorCode(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    window->procedure = windowClass->fields.lpfnWndProc;
    window->className = windowClass->name;
    window->classStyle = windowClass->fields.style;
    window->background = windowClass->fields.hbrBackground;
  }
  DisplayHost* host = ActiveHost();
  if (!host) {
    SetLastErrorCode(ERROR_ACCESS_DENIED);  // as on a station without a desktop
    return nullptr;
  }
  window->threadId = GetCurrentThreadId();
  window->caption = lpWindowName ? lpWindowName : "";
  window->style = dwStyle & ~static_cast<DWORD>(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  window->exStyle = dwExStyle;
  window->parent = hWndParent;
  bool defaultPosition;
  RECT requested = RequestedPlacement(dwStyle, X, Y, nWidth, nHeight, defaultPosition);
  window->defaultPosition = defaultPosition;
  window->normalPlacement = requested;
  window->maximized = (dwStyle & WS_MAXIMIZE) && !(dwStyle & WS_CHILD);
  window->minimized = dwStyle & WS_MINIMIZE;
  CurrentQueue();  // the creating thread owns the window's messages

  HWND handle;
  RECT placed;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    PlaceWindowLocked(*window, window->maximized ? MaximizedPlacement(window->style) : requested);
    placed = window->placement;
    handle = AddWindowLocked(window);
  }
  if (!host->CreateHostWindow(handle)) {
    std::lock_guard<std::mutex> guard(UserLock());
    RemoveWindowLocked(handle);
    SetLastErrorCode(ERROR_ACCESS_DENIED);
    return nullptr;
  }

  CREATESTRUCTA create{};
  create.lpCreateParams = lpParam;
  create.hInstance = hInstance;
  create.hMenu = hMenu;
  create.hwndParent = hWndParent;
  create.cy = placed.bottom - placed.top;
  create.cx = placed.right - placed.left;
  create.y = placed.top;
  create.x = placed.left;
  create.style = static_cast<LONG>(dwStyle);
  create.lpszName = lpWindowName;
  create.lpszClass = lpClassName;
  create.dwExStyle = dwExStyle;
  LPARAM createParameter = reinterpret_cast<LPARAM>(&create);
  if (!CallWindowProcedure(handle, WM_NCCREATE, 0, createParameter)) {
    host->DestroyHostWindow(handle);
    CallWindowProcedure(handle, WM_NCDESTROY, 0, 0);
    ForgetWindow(handle);
    return nullptr;
  }
  if (CallWindowProcedure(handle, WM_CREATE, 0, createParameter) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (!IsWindow(handle)) return nullptr;  // the procedure destroyed it while being created
  if (dwStyle & WS_VISIBLE) ShowOnOwnThread(handle, window->maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
  return handle;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  {
    std::lock_guard<std::mutex> guard(UserLock());
    // Only the thread that created a window may destroy it.
    Window* window = FindOwnWindowLocked(hWnd);
    if (!window) return FALSE;
    if (window->destroying) return TRUE;  // already on its way, e.g. called again from WM_DESTROY
    MarkDestroyingLocked(hWnd);
  }
  if (DisplayHost* host = ActiveHost()) host->DestroyHostWindow(hWnd);
  DestroyTree(hWnd);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  std::lock_guard<std::mutex> guard(UserLock());
  return FindWindowLocked(hWnd) != nullptr;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
  if (hWnd && !IsWindow(hWnd)) {
    SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  ThreadQueue& queue = CurrentQueue();
  std::lock_guard<std::mutex> guard(queue.lock);
  HWND previous = queue.activeWindow;
  queue.activeWindow = hWnd;
  return previous;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  DWORD owner;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(hWnd);
    if (!window) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    owner = window->threadId;
  }
  if (owner == GetCurrentThreadId()) return ShowOnOwnThread(hWnd, nCmdShow);
  // The host's side of a window belongs to its thread: do it there.
  BOOL result = FALSE;
  RunOnThreadAndWait(owner, [&] { result = ShowOnOwnThread(hWnd, nCmdShow); });
  return result;
}

}  // namespace win
