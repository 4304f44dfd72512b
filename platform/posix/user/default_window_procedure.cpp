// What Windows does with the messages a window procedure passes on.
#include "platform/posix/gdi/gdi_api.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

// Class brushes given as a system colour index + 1, as Windows allows.
COLORREF SystemColour(uintptr_t index) {
  switch (index) {
    case COLOR_WINDOW:
      return RGB(255, 255, 255);
    case COLOR_BTNFACE:
      return RGB(240, 240, 240);
    default:
      return RGB(192, 192, 192);
  }
}

// Fills the DC's clip area with the window class's background brush; false
// when the class has none.
bool EraseWithClassBrush(HWND window, HDC dc) {
  HBRUSH brush;
  RECT area;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(window);
    if (!w || !w->background) return false;
    brush = w->background;
    area = RECT{0, 0, w->clientWidth, w->clientHeight};
  }
  HBRUSH made = nullptr;
  uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value <= 31) brush = made = CreateSolidBrush(SystemColour(value - 1));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  // With no pen the rectangle's fill stops one pixel short on the right and
  // bottom; the DC's clip keeps it to the area being erased.
  Rectangle(dc, area.left, area.top, area.right + 1, area.bottom + 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  if (made) DeleteObject(made);
  return true;
}

}  // namespace
}  // namespace win::stand_in

namespace win {
using namespace stand_in;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hWnd, &paint);
      EndPaint(hWnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return EraseWithClassBrush(hWnd, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          SendMessageA(hWnd, WM_CLOSE, 0, 0);
          break;
        case SC_MINIMIZE:
          ShowWindow(hWnd, SW_MINIMIZE);
          break;
        case SC_MAXIMIZE:
          ShowWindow(hWnd, SW_SHOWMAXIMIZED);
          break;
        case SC_RESTORE:
          ShowWindow(hWnd, SW_RESTORE);
          break;
      }
      return 0;
    default:
      (void)lParam;
      return 0;
  }
}

}  // namespace win
