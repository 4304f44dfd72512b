// A window as the program makes one, for the window-manager tests: a class
// whose procedure logs every message, keeps an off-screen canvas made at
// WM_CREATE, repaints from it and ends its thread's loop at WM_DESTROY; and a
// thread that creates such a window and runs its message loop.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win.h"

namespace window_tests {

struct LoggedMessage {
  win::HWND window;
  win::UINT message;
  win::WPARAM wParam;
  win::LPARAM lParam;
  std::thread::id thread;  // the thread the procedure ran on
};

// Every message the test class's procedure received, in order.
std::vector<LoggedMessage> Log();
std::vector<win::UINT> LoggedMessages(win::UINT first = 0, win::UINT last = 0xFFFFFFFFu);
int LoggedCount(win::UINT message);
void ClearLog();

// What WM_CREATE saw: the creation record's fields, copied.
struct CreationSeen {
  bool seen = false;
  int x = 0, y = 0, cx = 0, cy = 0;
  win::LONG style = 0;
  std::string name;
  win::LPVOID parameter = nullptr;
  win::HWND parent = nullptr;
};
CreationSeen Creation();

// Behaviour switches of the test procedure.
extern std::atomic<win::LRESULT> CreateResult;  // returned from WM_CREATE
extern std::atomic<bool> PaintFromCanvas;       // WM_PAINT: BitBlt from the canvas (else DefWindowProcA)
extern std::atomic<bool> QuitOnDestroy;         // WM_DESTROY: PostQuitMessage(0)
extern std::vector<win::RECT> PaintRectangles;  // rcPaint of every BeginPaint, under PaintLock
extern std::mutex PaintLock;                    // held around canvas drawing and painting

constexpr const char* TestClass = "TestWindowClass";
// Registers a class with TestProcedure and the black stock brush, once per
// process and name.
void RegisterTestClass(const char* name = TestClass);
win::LRESULT CALLBACK TestProcedure(win::HWND, win::UINT, win::WPARAM, win::LPARAM);

// Draws a pixel into the latest window's canvas and through its DC, as the
// program's drawing operations do.
void DrawPixel(int x, int y, win::COLORREF colour);
win::COLORREF CanvasPixel(int x, int y);

struct WindowRequest {
  std::string className = TestClass;
  std::string caption = "Test window";
  win::DWORD style = WS_OVERLAPPEDWINDOW;
  int x = CW_USEDEFAULT, y = 0;
  int width = 208, height = 127;  // a 200 x 100 client area with the usual frame
  bool show = true;               // ShowWindow(SW_SHOW) and UpdateWindow
};

// A thread that creates the window and runs the message loop until
// GetMessageA returns 0 or -1.
class WindowThread {
 public:
  explicit WindowThread(const WindowRequest& request = {});
  ~WindowThread();  // waits for the thread
  win::HWND Window() const { return window_; }
  win::DWORD ThreadId() const { return threadId_; }
  bool Created() const { return window_ != nullptr; }
  bool WaitForEnd(int milliseconds);  // the loop returned
  int LoopResult() const { return loopResult_.load(); }
  std::thread::id Id() const { return thread_.get_id(); }

 private:
  std::thread thread_;
  win::HWND window_ = nullptr;
  win::DWORD threadId_ = 0;
  std::atomic<int> loopResult_{99};
  std::atomic<bool> ended_{false};
};

// Runs the calling thread's message loop until GetMessageA returns 0 or -1.
int RunMessageLoop();

}  // namespace window_tests
