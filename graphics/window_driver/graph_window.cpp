// The graph window's settings and state, and the mode's start and end on the
// program's thread: start the window thread and wait for the first paint;
// tear the window down and wait for the thread to end.
#include <cstdlib>
#include <cstring>

#include "graphics/window_driver/win32gui.h"
#include "runtime/control_break.h"
#include "runtime/system.h"

namespace graph {

MessageHandler CharMessageHandler = nullptr;
MessageHandler MouseMessageHandler = nullptr;
MessageHandler CommandMessageHandler = nullptr;
MessageHandler NotifyMessageHandler = nullptr;
void (*OnGraphWindowCreation)() = nullptr;

void ClearMessageHandlers() {
  CharMessageHandler = nullptr;
  MouseMessageHandler = nullptr;
  CommandMessageHandler = nullptr;
  NotifyMessageHandler = nullptr;
  OnGraphWindowCreation = nullptr;
}

win::DWORD GraphWindowStyle = CS_HREDRAW | CS_VREDRAW;
const char* WindowTitle = "Graph window application";
win::LPCSTR Menu = nullptr;
win::HICON Icon = nullptr;
bool DrawToScreen = true, DrawToBitmap = true;
bool UseChildWindow = false;
win::RECT ChildOffset = {0, 0, 0, 0};
bool WinRegistered = false;

win::HWND GraphWindow = nullptr, ParentWindow = nullptr;
win::HDC BitmapDC = nullptr, WinDC = nullptr;
win::HBITMAP SavedScreen = nullptr, OldBitmap = nullptr;
win::HPEN Pens[16] = {};
win::HBITMAP BitmapFontHorizonCache[256] = {};
win::HBITMAP BitmapFontVerticalCache[256] = {};
RGBRec* Pal = nullptr;
win::DWORD ExtraStyle = 0;
volatile bool GraphRunning = false;
win::CRITICAL_SECTION GraphDrawing;
win::HANDLE MessageThreadHandle = nullptr;
win::DWORD MessageThreadID = 0;

namespace {

// How long an exit after a run-time error waits for the window thread: one
// stuck in a display that stopped answering must not keep the program alive.
constexpr win::DWORD ErrorExitWaitMilliseconds = 500;

bool IsMaximizedMode(int16_t mode) {
  return mode >= 245 && mode <= 249;
}

bool WindowThreadRunning() {
  win::DWORD code = 0;
  win::GetExitCodeThread(MessageThreadHandle, &code);
  return code == STILL_ACTIVE;
}

// True when the window thread ended within the time (INFINITE: no limit).
bool WaitForWindowThreadEnd(win::DWORD milliseconds) {
  return win::WaitForSingleObject(MessageThreadHandle, milliseconds) == WAIT_OBJECT_0;
}

// Until the window's first paint, or the end of its thread (false). Between
// polls the processor is given up for a moment, to the window thread above all.
// Each poll is a safe point: Ctrl+C is taken while the window is awaited.
__attribute__((noinline)) bool WaitForFirstPaint() {
  for (;;) {
    rtl::SafePoint(__builtin_frame_address(0));
    bool running = WindowThreadRunning();
    if (__atomic_load_n(&GraphRunning, __ATOMIC_ACQUIRE)) return true;
    if (!running) return false;
    WaitForWindowThreadEnd(1);
  }
}

// Ends the window thread and releases what a mode start made: the thread
// handle, the lock and the palette. A thread that has ended already (closed
// window, failed start) is not posted to: its window handle may be stale or 0.
// A thread that does not end within the wait keeps all three, as it may still
// use them.
void EndWindowThread(win::DWORD waitMilliseconds) {
  if (WindowThreadRunning()) {
    win::EnterCriticalSection(&GraphDrawing);
    win::HWND graphWindow = GraphWindow, parentWindow = ParentWindow;
    win::LeaveCriticalSection(&GraphDrawing);
    win::PostMessageA(graphWindow, WM_DESTROY, 0, 0);
    if (UseChildWindow) win::PostMessageA(parentWindow, WM_DESTROY, 0, 0);
    win::PostThreadMessageA(MessageThreadID, WM_QUIT, 0, 0);
  }
  if (!WaitForWindowThreadEnd(waitMilliseconds)) return;
  win::CloseHandle(MessageThreadHandle);
  win::DeleteCriticalSection(&GraphDrawing);
  std::free(Pal);
  Pal = nullptr;
  MessageThreadID = 0;
  MessageThreadHandle = nullptr;
}

}  // namespace

void InitWin32GUI16Colors() {
  // A start that failed, or a mode set again without CloseGraph, left its
  // thread, lock and palette behind; reusing them as they are would
  // re-initialise a lock that a live window thread may hold.
  if (MessageThreadHandle != nullptr) {
    EndWindowThread(INFINITE);
    IsGraphMode = false;
  }

  size_t entries = MaxColor > 0 ? static_cast<size_t>(MaxColor) : 0;
  Pal = static_cast<RGBRec*>(std::calloc(entries > 0 ? entries : 1, sizeof(RGBRec)));
  std::memcpy(Pal, DefaultColors, (entries < 256 ? entries : 256) * sizeof(RGBRec));

  ExtraStyle = IsMaximizedMode(IntCurrentMode) ? WS_MAXIMIZE : 0;
  win::InitializeCriticalSection(&GraphDrawing);
  __atomic_store_n(&GraphRunning, false, __ATOMIC_RELEASE);

  MessageThreadHandle = win::CreateThread(nullptr, 0, MessageHandleThread, nullptr, 0, &MessageThreadID);
  if (MessageThreadHandle == nullptr) {
    _GraphResult = grError;
    return;
  }

  if (!WaitForFirstPaint()) _GraphResult = grError;
}

void CloseGraph() {
  if (!IsGraphMode) {
    _GraphResult = grNoInitGraph;
    return;
  }
  bool runTimeError = rtl::ErrorCode != 0 || rtl::ErrorAddr != nullptr;
  EndWindowThread(runTimeError ? ErrorExitWaitMilliseconds : INFINITE);
  IsGraphMode = false;
}

void SetVisualWin32GUI(uint16_t) {}
void SetActiveWin32GUI(uint16_t) {}

}  // namespace graph
