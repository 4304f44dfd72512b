// Retrieving, posting, sending and dispatching messages. GetMessageA keeps
// Windows' order: sent messages first, then posted ones in order, then WM_PAINT
// for a window with a non-empty update region, then WM_TIMER for a due timer,
// then WM_QUIT once nothing else is left.
#include <chrono>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/display_host.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/paint_cycle.h"
#include "platform/posix/user/timers.h"
#include "platform/posix/user/user_api.h"

namespace win::stand_in {
namespace {

// GetMessageA's window filter that selects only thread messages.
const HWND ThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool InRange(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool MatchesWindowLocked(HWND messageWindow, HWND filter) {
  if (!filter) return true;
  if (filter == ThreadMessagesOnly) return messageWindow == nullptr;
  const Window* window = FindWindowLocked(messageWindow);
  return window && WithinFilterLocked(*window, filter);
}

// WM_QUIT passes every filter, as GetMessageA's documentation promises.
bool TakePosted(ThreadQueue& queue, HWND filter, UINT first, UINT last, MSG& message) {
  std::lock_guard<std::mutex> userGuard(UserLock());
  std::lock_guard<std::mutex> guard(queue.lock);
  for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
    bool quit = it->message == WM_QUIT;
    if (quit || (InRange(it->message, first, last) && MatchesWindowLocked(it->hwnd, filter))) {
      message = *it;
      queue.posted.erase(it);
      return true;
    }
  }
  return false;
}

bool TakeQuit(ThreadQueue& queue, MSG& message) {
  std::lock_guard<std::mutex> guard(queue.lock);
  if (!queue.quitPending) return false;
  queue.quitPending = false;
  message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(static_cast<intptr_t>(queue.quitCode)), 0, MessageTime(), {0, 0}};
  return true;
}

bool OwnedByCaller(HWND window) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* w = FindWindowLocked(window);
  return w && w->threadId == GetCurrentThreadId();
}

// How long the host lets drawings wait before they are shown.
constexpr auto PresentInterval = std::chrono::milliseconds(15);

}  // namespace
}  // namespace win::stand_in

namespace win {
using namespace stand_in;

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hWnd && hWnd != ThreadMessagesOnly && !OwnedByCaller(hWnd)) {
    SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  ThreadQueue& queue = CurrentQueue();
  DisplayHost* host = ActiveHost();
  auto lastPresent = std::chrono::steady_clock::now();
  for (;;) {
    ResetWake(queue);
    DeliverSentMessages(queue);
    if (host) {
      host->ProcessEvents();
      DeliverSentMessages(queue);
      // A busy queue must not hold back what was drawn.
      if (std::chrono::steady_clock::now() - lastPresent >= PresentInterval) {
        host->Present();
        lastPresent = std::chrono::steady_clock::now();
      }
    }
    MSG message;
    if (TakePosted(queue, hWnd, wMsgFilterMin, wMsgFilterMax, message) ||
        (InRange(WM_PAINT, wMsgFilterMin, wMsgFilterMax) && hWnd != ThreadMessagesOnly &&
         NextPaintMessage(hWnd, message)) ||
        (InRange(WM_TIMER, wMsgFilterMin, wMsgFilterMax) && hWnd != ThreadMessagesOnly &&
         NextTimerMessage(hWnd, message)) ||
        TakeQuit(queue, message)) {
      *lpMsg = message;
      return message.message == WM_QUIT ? 0 : 1;
    }
    int descriptor = -1, timeout = -1;
    if (host) {
      host->Present();
      lastPresent = std::chrono::steady_clock::now();
      descriptor = host->WaitDescriptor();
      timeout = host->WaitTimeoutMilliseconds();
    }
    int timerWait = MillisecondsToNextTimer();
    if (timerWait >= 0 && (timeout < 0 || timerWait < timeout)) timeout = timerWait;
    WaitForQueue(queue, descriptor, timeout);
  }
}

// Key-down messages of character keys gain a WM_CHAR, as with a US layout
// and no modifier.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  UINT m = lpMsg->message;
  if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
  if (m == WM_KEYDOWN) {
    WPARAM key = lpMsg->wParam;
    WPARAM character = 0;
    if (key >= 'A' && key <= 'Z')
      character = key - 'A' + 'a';
    else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_RETURN || key == VK_BACK || key == VK_ESCAPE ||
             key == VK_TAB)
      character = key;
    if (character) PostMessageA(lpMsg->hwnd, WM_CHAR, character, lpMsg->lParam);
  }
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || !lpMsg->hwnd) return 0;  // thread messages have no window procedure
  {
    std::lock_guard<std::mutex> guard(UserLock());
    if (!FindOwnWindowLocked(lpMsg->hwnd)) return 0;
  }
  return CallWindowProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return PostThreadMessageA(GetCurrentThreadId(), Msg, wParam, lParam);
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
  if (!PostToThread(owner, MSG{hWnd, Msg, wParam, lParam, MessageTime(), {0, 0}})) {
    SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (idThread == GetCurrentThreadId()) CurrentQueue();
  if (!PostToThread(idThread, MSG{nullptr, Msg, wParam, lParam, MessageTime(), {0, 0}})) {
    SetLastErrorCode(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  ThreadQueue& queue = CurrentQueue();
  std::lock_guard<std::mutex> guard(queue.lock);
  queue.quitPending = true;
  queue.quitCode = nExitCode;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  DWORD owner;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(hWnd);
    if (!window) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    owner = window->threadId;
  }
  if (owner == GetCurrentThreadId()) return CallWindowProcedure(hWnd, Msg, wParam, lParam);
  return SendToThread(owner, MSG{hWnd, Msg, wParam, lParam, MessageTime(), {0, 0}});
}

}  // namespace win
