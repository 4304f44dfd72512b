// The test window's procedure and thread.
#include "tests/platform/user/window_fixture.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <set>

#include "platform/posix/user/memory_display.h"

namespace window_tests {

std::atomic<win::LRESULT> CreateResult{0};
std::atomic<bool> PaintFromCanvas{true};
std::atomic<bool> QuitOnDestroy{true};
std::vector<win::RECT> PaintRectangles;
std::mutex PaintLock;

namespace {

std::mutex logLock;
std::vector<LoggedMessage> messages;
CreationSeen creation;
// One canvas per window, made at WM_CREATE; drawing goes to the latest one.
struct Canvas {
  win::HDC memory = nullptr;
  win::HBITMAP bitmap = nullptr;
  win::HDC window = nullptr;  // held from creation to destruction, as the program holds its DC
};
// Kept past the end of main: windows still open then keep their canvases.
std::map<win::HWND, Canvas>& canvases = *new std::map<win::HWND, Canvas>;
win::HWND latest = nullptr;

// The canvas has the client area's size, as the program's bitmap has its mode's.
void MakeCanvas(win::HWND window) {
  std::lock_guard<std::mutex> guard(PaintLock);
  win::stand_in::WindowFacts facts = win::stand_in::DescribeWindow(window);
  Canvas& canvas = canvases[window];
  win::HDC dc = win::GetDC(window);
  canvas.memory = win::CreateCompatibleDC(dc);
  canvas.bitmap = win::CreateCompatibleBitmap(dc, facts.clientWidth, facts.clientHeight);
  win::SelectObject(canvas.memory, canvas.bitmap);
  win::ReleaseDC(window, dc);
  canvas.window = win::GetDC(window);
  latest = window;
}

void ReleaseCanvas(win::HWND window) {
  std::lock_guard<std::mutex> guard(PaintLock);
  auto found = canvases.find(window);
  if (found == canvases.end()) return;
  win::ReleaseDC(window, found->second.window);
  win::DeleteDC(found->second.memory);
  win::DeleteObject(found->second.bitmap);
  canvases.erase(found);
  if (latest == window) latest = nullptr;
}

void Paint(win::HWND window) {
  win::RECT update;
  if (!win::GetUpdateRect(window, &update, FALSE)) return;
  std::lock_guard<std::mutex> guard(PaintLock);
  win::PAINTSTRUCT paint;
  win::HDC dc = win::BeginPaint(window, &paint);
  PaintRectangles.push_back(paint.rcPaint);
  auto found = canvases.find(window);
  if (found != canvases.end())
    win::BitBlt(dc, update.left, update.top, update.right - update.left, update.bottom - update.top,
                found->second.memory, update.left, update.top, SRCCOPY);
  win::EndPaint(window, &paint);
}

}  // namespace

std::vector<LoggedMessage> Log() {
  std::lock_guard<std::mutex> guard(logLock);
  return messages;
}

std::vector<win::UINT> LoggedMessages(win::UINT first, win::UINT last) {
  std::vector<win::UINT> result;
  for (const LoggedMessage& m : Log())
    if (m.message >= first && m.message <= last) result.push_back(m.message);
  return result;
}

int LoggedCount(win::UINT message) {
  int count = 0;
  for (const LoggedMessage& m : Log()) count += m.message == message;
  return count;
}

void ClearLog() {
  std::lock_guard<std::mutex> guard(logLock);
  messages.clear();
}

CreationSeen Creation() {
  std::lock_guard<std::mutex> guard(logLock);
  return creation;
}

void RegisterTestClass(const char* name) {
  static std::mutex lock;
  static std::set<std::string> registered;
  std::lock_guard<std::mutex> guard(lock);
  if (registered.insert(name).second) {
    win::WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = TestProcedure;
    windowClass.hCursor = win::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hIcon = win::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = static_cast<win::HBRUSH>(win::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    win::RegisterClassA(&windowClass);
  }
}

win::LRESULT CALLBACK TestProcedure(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  {
    std::lock_guard<std::mutex> guard(logLock);
    messages.push_back({window, message, wParam, lParam, std::this_thread::get_id()});
    if (message == WM_CREATE) {
      auto* create = reinterpret_cast<const win::CREATESTRUCTA*>(lParam);
      creation = {true,
                  create->x,
                  create->y,
                  create->cx,
                  create->cy,
                  create->style,
                  create->lpszName ? create->lpszName : "",
                  create->lpCreateParams,
                  create->hwndParent};
    }
  }
  switch (message) {
    case WM_CREATE:
      if (CreateResult.load() != -1) MakeCanvas(window);
      return CreateResult.load();
    case WM_PAINT:
      if (!PaintFromCanvas.load()) break;
      Paint(window);
      return 0;
    case WM_DESTROY:
      ReleaseCanvas(window);
      if (QuitOnDestroy.load()) win::PostQuitMessage(0);
      return 0;
  }
  return win::DefWindowProcA(window, message, wParam, lParam);
}

void DrawPixel(int x, int y, win::COLORREF colour) {
  std::lock_guard<std::mutex> guard(PaintLock);
  auto found = canvases.find(latest);
  if (found == canvases.end()) return;
  win::SetPixelV(found->second.memory, x, y, colour);
  win::SetPixelV(found->second.window, x, y, colour);
}

win::COLORREF CanvasPixel(int x, int y) {
  std::lock_guard<std::mutex> guard(PaintLock);
  auto found = canvases.find(latest);
  return found == canvases.end() ? CLR_INVALID : win::GetPixel(found->second.memory, x, y);
}

int RunMessageLoop() {
  win::MSG message;
  int result;
  while ((result = win::GetMessageA(&message, nullptr, 0, 0)) == 1) {
    win::TranslateMessage(&message);
    win::DispatchMessageA(&message);
  }
  return result;
}

WindowThread::WindowThread(const WindowRequest& request) {
  std::mutex lock;
  std::condition_variable ready;
  bool started = false;
  thread_ = std::thread([&, request] {
    RegisterTestClass(request.className.c_str());
    win::HWND window =
        win::CreateWindowExA(0, request.className.c_str(), request.caption.c_str(), request.style, request.x, request.y,
                             request.width, request.height, nullptr, nullptr, nullptr, nullptr);
    if (window && request.show) {
      win::ShowWindow(window, SW_SHOW);
      win::UpdateWindow(window);
    }
    {
      // Notified under the lock: the constructor's lock and condition end when it returns.
      std::lock_guard<std::mutex> guard(lock);
      window_ = window;
      threadId_ = win::GetCurrentThreadId();
      started = true;
      ready.notify_all();
    }
    if (window) loopResult_ = RunMessageLoop();
    ended_ = true;
  });
  std::unique_lock<std::mutex> guard(lock);
  ready.wait(guard, [&] { return started; });
}

WindowThread::~WindowThread() {
  if (!ended_ && window_) win::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

bool WindowThread::WaitForEnd(int milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!ended_ && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return ended_;
}

}  // namespace window_tests
