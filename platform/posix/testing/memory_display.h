// Test-only host of the window-manager stand-in: windows whose client area
// lives in memory, with the screen metrics a test chooses. Select it (or no
// display at all) before the program's start-up. The queries and user actions
// below may be called from any thread.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/user/display_host.h"
#include "platform/posix/win_types.h"

namespace win::stand_in {

// Counts every window's paints and delivered messages, and the X11 host's
// presents, from now on, for the waits and counts below and in x11_display.h;
// the test programs start it before any window exists.
void CountWindowEvents();

void UseMemoryDisplay(const DisplayMetrics& metrics = {});
// No display: window creation fails; the metrics still answer.
void UseNoDisplay(const DisplayMetrics& metrics = {});
// The X server that DISPLAY names, the program's own choice.
void UseX11Display();

// What a test can learn about a window (any host).
struct WindowFacts {
  bool exists = false;
  std::string caption;
  std::string className;
  DWORD style = 0;  // as created, without WS_VISIBLE, WS_MAXIMIZE and WS_MINIMIZE
  HWND parent = nullptr;
  DWORD threadId = 0;
  bool visible = false;
  bool minimized = false;
  bool maximized = false;
  RECT placement{};  // outer rectangle, in the parent's client coordinates
  int clientWidth = 0;
  int clientHeight = 0;
  bool updatePending = false;
  RECT update{};
  int paints = 0;  // completed BeginPaint/EndPaint pairs
};
WindowFacts DescribeWindow(HWND window);

// The top-level window with this caption (the last created one when several
// have it), or with any caption for null; null when there is none.
HWND FindTopLevelWindow(const char* caption = nullptr);

// The client area's pixels (0x00BBGGRR), row-major; empty for no window.
std::vector<COLORREF> ClientPixels(HWND window);
COLORREF ClientPixel(HWND window, int x, int y);  // CLR_INVALID outside

// What the person at the screen does. Covering loses the pixels under the
// covering window at once (they show CoveredColour); uncovering adds the
// rectangle to the update region, so the window's next WM_PAINT draws it
// again. Minimising, restoring and the close button are handled by the
// window's own thread as it next retrieves messages.
constexpr COLORREF CoveredColour = 0x00C0FFEE;
void CoverWindow(HWND window, const RECT& area);
void UncoverWindow(HWND window, const RECT& area);
void MinimizeWindow(HWND window);  // the client area is lost until restored
void RestoreWindow(HWND window);
void PressCloseButton(HWND window);  // WM_SYSCOMMAND SC_CLOSE, sent to the window

// Waits until the window has been painted at least this many times; false on
// timeout or when the window is gone.
bool WaitForPaints(HWND window, int paints, int timeoutMilliseconds);
inline bool WaitForFirstPaint(HWND window, int timeoutMilliseconds) {
  return WaitForPaints(window, 1, timeoutMilliseconds);
}
// Waits until the window no longer exists.
bool WaitForDestruction(HWND window, int timeoutMilliseconds);
// How often a message reached the window's procedure (sent or dispatched).
int MessageCount(HWND window, UINT message);

// What waits in a thread's queue.
struct QueueCounts {
  bool exists = false;
  int sent = 0;
  int posted = 0;
  bool quitPending = false;
};
QueueCounts QueueOfThread(DWORD threadId);

}  // namespace win::stand_in
