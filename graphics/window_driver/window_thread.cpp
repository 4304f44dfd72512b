// The window thread: registers the window classes once per process, creates
// the graph window (alone or as the child of a frame window) and runs its
// message loop until the window is destroyed.
#include "graphics/window_driver/win32gui.h"
#include "runtime/system.h"

namespace graph {

namespace {

constexpr const char* GraphClassName = "ZynGraphWindow";
constexpr const char* ParentClassName = "ZynGraphWindowMain";
constexpr const char* ChildClassName = "ZynGraphWindowChild";

win::WNDCLASSA ClassOf(const char* name, win::UINT style, win::WNDPROC procedure) {
  win::WNDCLASSA windowClass{};
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = rtl::MainInstance;
  windowClass.hCursor = win::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<win::HBRUSH>(win::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = name;
  return windowClass;
}

win::HICON ClassIcon() {
  return Icon != nullptr ? Icon : win::LoadIconA(nullptr, IDI_APPLICATION);
}

bool Registered(const win::WNDCLASSA& windowClass) {
  return (win::RegisterClassA(&windowClass) & 0xFFFFu) != 0;
}

win::HWND CreateShown(const char* className, const char* title, win::DWORD style, int x, int y, int width, int height,
                      win::HWND parent) {
  win::HWND window = win::CreateWindowExA(0, className, title, style, x, y, width, height, parent, nullptr,
                                          rtl::MainInstance, nullptr);
  if (window == nullptr) return nullptr;
  win::ShowWindow(window, SW_SHOW);
  win::UpdateWindow(window);
  return window;
}

[[noreturn]] void FailThread(const char* text) {
  win::MessageBoxA(nullptr, text, nullptr, MB_OK);
  win::ExitThread(1);
}

}  // namespace

bool WinRegister() {
  win::WNDCLASSA windowClass = ClassOf(GraphClassName, GraphWindowStyle, WindowProcGraph);
  windowClass.hIcon = ClassIcon();
  windowClass.lpszMenuName = Menu;
  return Registered(windowClass);
}

bool WinRegisterWithChild() {
  win::WNDCLASSA parentClass = ClassOf(ParentClassName, GraphWindowStyle, WindowProcParent);
  parentClass.hIcon = ClassIcon();
  parentClass.lpszMenuName = Menu;
  if (!Registered(parentClass)) return false;
  win::WNDCLASSA childClass = ClassOf(ChildClassName, CS_HREDRAW | CS_VREDRAW, WindowProcGraph);
  return Registered(childClass);
}

win::HWND WinCreate() {
  const int frameWidth = win::GetSystemMetrics(SM_CXFRAME);
  const int frameHeight = win::GetSystemMetrics(SM_CYFRAME);
  const int captionHeight = win::GetSystemMetrics(SM_CYCAPTION);
  const int width = MaxX + 1, height = MaxY + 1;
  if (!UseChildWindow) {
    return CreateShown(GraphClassName, WindowTitle, ExtraStyle | WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                       width + 2 * frameWidth, height + 2 * frameHeight + captionHeight, nullptr);
  }
  ParentWindow = CreateShown(ParentClassName, WindowTitle, ExtraStyle | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             CW_USEDEFAULT, 0, width + ChildOffset.left + ChildOffset.right + 2 * frameWidth,
                             height + ChildOffset.top + ChildOffset.bottom + 2 * frameHeight + captionHeight, nullptr);
  if (ParentWindow == nullptr) return nullptr;
  return CreateShown(ChildClassName, nullptr, WS_CHILD, ChildOffset.left, ChildOffset.top, width, height, ParentWindow);
}

win::DWORD WINAPI MessageHandleThread(win::LPVOID) {
  if (!WinRegistered) {
    bool registered = UseChildWindow ? WinRegisterWithChild() : WinRegister();
    if (!registered) FailThread("Window registration failed");
    WinRegistered = true;
  }

  win::HWND window = WinCreate();
  if (window == nullptr) FailThread("Window creation failed");
  // WM_CREATE has set the handle already, before the first paint lets the
  // program's thread go on and read it; writing it again now would race.
  if (GraphWindow != window) {
    win::EnterCriticalSection(&GraphDrawing);
    GraphWindow = window;
    win::LeaveCriticalSection(&GraphDrawing);
  }

  win::MSG message;
  while (win::GetMessageA(&message, nullptr, 0, 0) == 1) {
    win::TranslateMessage(&message);
    win::DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace graph
