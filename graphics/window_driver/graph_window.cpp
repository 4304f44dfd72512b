// The graph window's settings and state, and the mode's start and end on the
// program's thread: start the window thread and wait for the first paint;
// tear the window down and wait for the thread to end.
#include <cstdlib>
#include <cstring>

#include "graphics/window_driver/win32gui.h"
#include "runtime/control_break.h"

namespace graph {

MessageHandler CharMessageHandler = nullptr;
MessageHandler MouseMessageHandler = nullptr;
MessageHandler CommandMessageHandler = nullptr;
MessageHandler NotifyMessageHandler = nullptr;
void (*OnGraphWindowCreation)() = nullptr;

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

bool IsMaximizedMode(int16_t mode) {
  return mode >= 245 && mode <= 249;
}

// Ends the window thread and releases what a mode start made: the thread
// handle, the lock and the palette. A thread that has ended already (closed
// window, failed start) is not posted to: its window handle may be stale or 0.
void EndWindowThread() {
  win::DWORD code = 0;
  win::GetExitCodeThread(MessageThreadHandle, &code);
  if (code == STILL_ACTIVE) {
    win::EnterCriticalSection(&GraphDrawing);
    win::HWND graphWindow = GraphWindow, parentWindow = ParentWindow;
    win::LeaveCriticalSection(&GraphDrawing);
    win::PostMessageA(graphWindow, WM_DESTROY, 0, 0);
    if (UseChildWindow) win::PostMessageA(parentWindow, WM_DESTROY, 0, 0);
    win::PostThreadMessageA(MessageThreadID, WM_QUIT, 0, 0);
  }
  win::WaitForSingleObject(MessageThreadHandle, INFINITE);
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
    EndWindowThread();
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

  win::DWORD code = STILL_ACTIVE;
  do {
    rtl::SafePoint(__builtin_frame_address(0));  // Ctrl+C is taken while the window is awaited
    win::GetExitCodeThread(MessageThreadHandle, &code);
    if (__atomic_load_n(&GraphRunning, __ATOMIC_ACQUIRE)) break;
  } while (code == STILL_ACTIVE);
  if (code != STILL_ACTIVE) _GraphResult = grError;
}

void CloseGraph() {
  if (!IsGraphMode) {
    _GraphResult = grNoInitGraph;
    return;
  }
  EndWindowThread();
  IsGraphMode = false;
}

void SetVisualWin32GUI(uint16_t) {}
void SetActiveWin32GUI(uint16_t) {}

}  // namespace graph
