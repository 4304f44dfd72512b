// The graph window's procedure: makes the off-screen bitmap at creation,
// repaints from it, shows what was drawn at a steady interval, releases
// everything at destruction; hands input messages to the handler hooks. The
// frame window's procedure, for the child layout.
#include "graphics/window_driver/drawing_targets.h"
#include "graphics/window_driver/win32gui.h"

namespace graph {

namespace {

// The program's thread draws on WinDC, but on some systems (wine) that shows
// only when the window's own thread next runs; so the window thread copies
// the area drawn since its last present from the bitmap, about once a frame.
constexpr win::UINT_PTR PresentTimerId = 1;
constexpr win::UINT PresentIntervalMilliseconds = 15;

constexpr win::UINT FirstMouseButtonMessage = WM_LBUTTONDOWN;
constexpr win::UINT LastMouseButtonMessage = WM_MBUTTONDBLCLK;

void FillBlack(win::HDC dc) {
  win::HGDIOBJ oldPen = win::SelectObject(dc, win::GetStockObject(BLACK_PEN));
  win::HGDIOBJ oldBrush = win::SelectObject(dc, win::GetStockObject(BLACK_BRUSH));
  win::Rectangle(dc, 0, 0, MaxX + 1, MaxY + 1);
  win::SelectObject(dc, oldBrush);
  win::SelectObject(dc, oldPen);
}

void CreateSurfaces(win::HWND window) {
  win::EnterCriticalSection(&GraphDrawing);
  GraphWindow = window;
  win::HDC windowDC = win::GetDC(window);
  BitmapDC = win::CreateCompatibleDC(windowDC);
  SavedScreen = win::CreateCompatibleBitmap(windowDC, MaxX + 1, MaxY + 1);
  win::ReleaseDC(window, windowDC);
  OldBitmap = static_cast<win::HBITMAP>(win::SelectObject(BitmapDC, SavedScreen));
  WinDC = win::GetDC(window);
  FillBlack(BitmapDC);
  FillBlack(WinDC);
  for (win::HBITMAP& glyph : BitmapFontHorizonCache) glyph = nullptr;
  for (win::HBITMAP& glyph : BitmapFontVerticalCache) glyph = nullptr;
  for (win::HPEN& pen : Pens) pen = nullptr;
  ForgetDrawnArea();
  if (OnGraphWindowCreation != nullptr) OnGraphWindowCreation();
  win::LeaveCriticalSection(&GraphDrawing);
}

void Repaint(win::HWND window) {
  win::RECT damaged;
  if (!win::GetUpdateRect(window, &damaged, FALSE)) return;
  win::EnterCriticalSection(&GraphDrawing);
  __atomic_store_n(&GraphRunning, true, __ATOMIC_RELEASE);
  win::PAINTSTRUCT paint;
  win::HDC dc = win::BeginPaint(window, &paint);
  win::BitBlt(dc, damaged.left, damaged.top, damaged.right - damaged.left, damaged.bottom - damaged.top, BitmapDC,
              damaged.left, damaged.top, SRCCOPY);
  win::EndPaint(window, &paint);
  win::LeaveCriticalSection(&GraphDrawing);
}

void PresentDrawnArea() {
  if (!EnterGraphDrawing()) return;
  win::RECT area;
  if (TakeDrawnArea(area)) {
    if (area.left < 0) area.left = 0;
    if (area.top < 0) area.top = 0;
    if (area.right > MaxX + 1) area.right = MaxX + 1;
    if (area.bottom > MaxY + 1) area.bottom = MaxY + 1;
    if (area.left < area.right && area.top < area.bottom)
      win::BitBlt(WinDC, area.left, area.top, area.right - area.left, area.bottom - area.top, BitmapDC, area.left,
                  area.top, SRCCOPY);
  }
  LeaveGraphDrawing();
}

void ReleaseSurfaces() {
  win::EnterCriticalSection(&GraphDrawing);
  __atomic_store_n(&GraphRunning, false, __ATOMIC_RELEASE);
  win::ReleaseDC(GraphWindow, WinDC);
  win::SelectObject(BitmapDC, OldBitmap);
  win::DeleteObject(SavedScreen);
  win::DeleteDC(BitmapDC);
  for (win::HBITMAP glyph : BitmapFontHorizonCache)
    if (glyph != nullptr) win::DeleteObject(glyph);
  for (win::HBITMAP glyph : BitmapFontVerticalCache)
    if (glyph != nullptr) win::DeleteObject(glyph);
  for (win::HPEN pen : Pens)
    if (pen != nullptr) win::DeleteObject(pen);
  win::LeaveCriticalSection(&GraphDrawing);
  win::KillTimer(GraphWindow, PresentTimerId);
  win::PostQuitMessage(0);
}

// The input messages both procedures hand to a hook: the hook, or null when the
// message is not one of them.
MessageHandler* HookOf(win::UINT message) {
  switch (message) {
    case WM_NOTIFY:
      return &NotifyMessageHandler;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      return &CharMessageHandler;
    case WM_COMMAND:
      return &CommandMessageHandler;
    default:
      return nullptr;
  }
}

win::LRESULT Forward(MessageHandler handler, win::HWND window, win::UINT message, win::WPARAM wParam,
                     win::LPARAM lParam) {
  return handler != nullptr ? handler(window, message, wParam, lParam) : 0;
}

}  // namespace

win::LRESULT CALLBACK WindowProcGraph(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateSurfaces(window);
      win::SetTimer(window, PresentTimerId, PresentIntervalMilliseconds, nullptr);
      return 0;
    case WM_DESTROY:
      ReleaseSurfaces();
      return 0;
    case WM_PAINT:
      Repaint(window);
      return 0;
    case WM_TIMER:
      if (wParam != PresentTimerId) break;
      PresentDrawnArea();
      return 0;
    default:
      break;
  }
  if (MessageHandler* hook = HookOf(message)) return Forward(*hook, window, message, wParam, lParam);
  if (message >= FirstMouseButtonMessage && message <= LastMouseButtonMessage)
    return Forward(MouseMessageHandler, window, message, wParam, lParam);
  return win::DefWindowProcA(window, message, wParam, lParam);
}

win::LRESULT CALLBACK WindowProcParent(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  if (MessageHandler* hook = HookOf(message)) return Forward(*hook, window, message, wParam, lParam);
  return win::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace graph
