// A window as the program makes one, for the window-manager tests: a class
// whose procedure logs every message, keeps an off-screen canvas made at
// WM_CREATE, repaints from it and ends its thread's loop at WM_DESTROY; and a
// thread that creates such a window and runs its message loop.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/testing/memory_display.h"
#include "platform/win.h"

namespace window_tests {
namespace si = win::stand_in;
using Messages = std::vector<win::UINT>;

struct LoggedMessage {
  win::HWND window;
  win::UINT message;
  win::WPARAM wParam;
  win::DWORD thread;  // the thread the procedure ran on
};
inline std::mutex logLock;
inline std::vector<LoggedMessage> messages;  // every message the procedure received, in order
inline win::CREATESTRUCTA creation{};        // what the latest WM_CREATE carried

inline std::vector<LoggedMessage> Log() {
  std::lock_guard<std::mutex> guard(logLock);
  return messages;
}
inline void ClearLog() {
  std::lock_guard<std::mutex> guard(logLock);
  messages.clear();
}
// The logged messages among these (all, for none), of this window (all, for null).
inline Messages Logged(const Messages& among = {}, win::HWND window = nullptr) {
  Messages result;
  for (const LoggedMessage& m : Log())
    if ((among.empty() || std::ranges::count(among, m.message)) && (!window || m.window == window))
      result.push_back(m.message);
  return result;
}
inline const Messages Ending{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY};

// Behaviour switches of the test procedure.
inline std::atomic<win::LRESULT> CreateResult{0};  // returned from WM_CREATE
inline std::atomic<bool> PaintFromCanvas{true};    // WM_PAINT: copy from the canvas (else DefWindowProcA)
inline std::atomic<bool> QuitOnDestroy{true};      // WM_DESTROY: PostQuitMessage(0)

// One canvas per window, of its client size, made at WM_CREATE, with the
// window's DC held until WM_DESTROY, as the program holds its own.
struct Canvas {
  win::HDC window, memory;
  win::HBITMAP bitmap;
};
inline std::mutex PaintLock;                    // held around canvas drawing and painting
inline std::vector<win::RECT> PaintRectangles;  // rcPaint of every BeginPaint, under PaintLock
// Kept past the end of main: windows still open then keep their canvases.
inline std::map<win::HWND, Canvas>& canvases = *new std::map<win::HWND, Canvas>;
inline win::HWND latest = nullptr;

inline win::LRESULT CALLBACK TestProcedure(win::HWND window, win::UINT message, win::WPARAM wParam,
                                           win::LPARAM lParam) {
  {
    std::lock_guard<std::mutex> guard(logLock);
    messages.push_back({window, message, wParam, win::GetCurrentThreadId()});
    if (message == WM_CREATE) creation = *reinterpret_cast<const win::CREATESTRUCTA*>(lParam);
  }
  if (message != WM_CREATE && message != WM_DESTROY && !(message == WM_PAINT && PaintFromCanvas))
    return win::DefWindowProcA(window, message, wParam, lParam);
  std::lock_guard<std::mutex> guard(PaintLock);
  if (message == WM_CREATE) {
    if (CreateResult == 0) {
      si::WindowFacts facts = si::DescribeWindow(window);
      Canvas& canvas = canvases[window];
      canvas.window = win::GetDC(window);
      canvas.memory = win::CreateCompatibleDC(canvas.window);
      canvas.bitmap = win::CreateCompatibleBitmap(canvas.window, facts.clientWidth, facts.clientHeight);
      win::SelectObject(canvas.memory, canvas.bitmap);
      latest = window;
    }
    return CreateResult;
  }
  if (message == WM_PAINT) {
    win::PAINTSTRUCT paint;
    win::HDC dc = win::BeginPaint(window, &paint);
    const win::RECT& r = PaintRectangles.emplace_back(paint.rcPaint);
    if (canvases.count(window))
      win::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, canvases[window].memory, r.left, r.top,
                  SRCCOPY);
    win::EndPaint(window, &paint);
    return 0;
  }
  if (auto found = canvases.find(window); found != canvases.end()) {  // WM_DESTROY
    win::ReleaseDC(window, found->second.window);
    win::DeleteDC(found->second.memory);
    win::DeleteObject(found->second.bitmap);
    canvases.erase(found);
  }
  if (QuitOnDestroy) win::PostQuitMessage(0);
  return 0;
}

// The rcPaint of a BeginPaint in the test procedure: the first, or (-1) the latest.
inline win::RECT Painted(int which) {
  std::lock_guard<std::mutex> guard(PaintLock);
  return which < 0 ? PaintRectangles.back() : PaintRectangles.at(which);
}
inline bool SameRect(const win::RECT& a, const win::RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Draws into the latest window's canvas and through its DC, as the program draws.
inline void DrawPixel(int x, int y, win::COLORREF colour) {
  std::lock_guard<std::mutex> guard(PaintLock);
  if (!canvases.count(latest)) return;
  win::SetPixelV(canvases[latest].memory, x, y, colour);
  win::SetPixelV(canvases[latest].window, x, y, colour);
}

constexpr const char* TestClass = "TestWindowClass";
// Registers a class with TestProcedure; 0 when the name is taken.
inline win::ATOM RegisterTestClass(
    const char* name = TestClass, win::HBRUSH background = static_cast<win::HBRUSH>(win::GetStockObject(BLACK_BRUSH))) {
  win::WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = TestProcedure;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  return win::RegisterClassA(&windowClass);
}

struct WindowRequest {
  std::string className = TestClass, caption = "Test window";
  win::DWORD style = WS_OVERLAPPEDWINDOW;
  int x = CW_USEDEFAULT, y = 0, width = 208, height = 127;  // a 200 x 100 client area with the usual frame
};
// Registers the class (when new) and creates the window, not yet shown.
inline win::HWND CreateTestWindow(const WindowRequest& r = {}, win::HWND parent = nullptr,
                                  win::LPVOID parameter = nullptr) {
  RegisterTestClass(r.className.c_str());
  return win::CreateWindowExA(0, r.className.c_str(), r.caption.c_str(), r.style, r.x, r.y, r.width, r.height, parent,
                              nullptr, nullptr, parameter);
}

// Retrieves and dispatches until GetMessageA returns 0 or -1: the messages it
// returned, then WM_QUIT for 0 (its code in *quitCode) or ~0u for -1.
inline Messages Drain(win::WPARAM* quitCode = nullptr) {
  Messages returned;
  win::MSG message{};
  int result;
  while ((result = win::GetMessageA(&message, nullptr, 0, 0)) == 1) {
    returned.push_back(message.message);
    win::TranslateMessage(&message);
    win::DispatchMessageA(&message);
  }
  returned.push_back(result == 0 ? message.message : ~0u);
  if (quitCode) *quitCode = message.wParam;
  return returned;
}
// Handles what is queued, up to a quit request posted now.
inline Messages Settle() {
  win::PostQuitMessage(0);
  return Drain();
}

// Each case starts as if alone in its process: no messages logged or queued
// for this thread, the procedure's switches at their defaults, this host.
inline void StartClean(void (*selectHost)() = [] { si::UseMemoryDisplay(); }) {
  selectHost();
  Settle();
  ClearLog();
  CreateResult = 0;
  PaintFromCanvas = true;
  QuitOnDestroy = true;
  std::lock_guard<std::mutex> guard(PaintLock);
  PaintRectangles.clear();
  latest = nullptr;
}

inline bool Eventually(const std::function<bool()>& condition, int milliseconds = 10000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// A thread that creates the window, shows it and runs its message loop, as
// the program's window thread does.
struct WindowThread {
  win::HWND window = nullptr;
  win::DWORD id = 0;
  std::atomic<bool> started{false}, ended{false}, quitEnded{false};
  std::thread thread;

  explicit WindowThread(const WindowRequest& request = {}) {
    thread = std::thread([this, request] {
      win::HWND created = CreateTestWindow(request);
      if (created) {
        win::ShowWindow(created, SW_SHOW);
        win::UpdateWindow(created);
      }
      window = created;
      id = win::GetCurrentThreadId();
      started = true;
      if (created) quitEnded = Drain().back() == WM_QUIT;
      ended = true;
    });
    Eventually([this] { return started.load(); }, 60000);
  }
  ~WindowThread() {
    if (!ended && window) win::PostThreadMessageA(id, WM_QUIT, 0, 0);
    thread.join();
  }
  // The loop ended, by WM_QUIT rather than an error.
  bool EndsByQuit(int milliseconds = 10000) {
    return Eventually([this] { return ended.load(); }, milliseconds) && quitEnded;
  }
};

}  // namespace window_tests
