// Window placement, maximising, minimising and ShowWindow.
#include "platform/posix/user/window_placement.h"

#include <algorithm>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/user/display_host.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/user_api.h"

namespace win::stand_in {

FrameSize FrameOf(DWORD style) {
  FrameSize frame;
  bool child = style & WS_CHILD;
  bool popup = style & WS_POPUP;
  // Overlapped top-level windows always get a caption.
  if ((style & WS_CAPTION) == WS_CAPTION || (!child && !popup)) frame.caption = GetSystemMetrics(SM_CYCAPTION);
  if (style & WS_THICKFRAME) {
    frame.width = GetSystemMetrics(SM_CXFRAME);
    frame.height = GetSystemMetrics(SM_CYFRAME);
  }
  return frame;
}

RECT MaximizedPlacement(DWORD style) {
  FrameSize frame = FrameOf(style);
  int width = GetSystemMetrics(SM_CXFULLSCREEN);
  int height = GetSystemMetrics(SM_CYFULLSCREEN);
  // The frame lies just outside the screen, as on Windows.
  return RECT{-frame.width, -frame.height, width + frame.width, height + frame.caption + frame.height};
}

bool PlaceWindowLocked(Window& window, const RECT& placement) {
  FrameSize frame = FrameOf(window.style);
  window.placement = placement;
  int width = std::max<int>(0, placement.right - placement.left - 2 * frame.width);
  int height = std::max<int>(0, placement.bottom - placement.top - 2 * frame.height - frame.caption);
  if (window.surface && width == window.clientWidth && height == window.clientHeight) return false;
  window.clientWidth = width;
  window.clientHeight = height;
  if (!window.surface) window.surface = std::make_shared<WindowSurface>();
  window.surface->Resize(width, height);
  return true;
}

namespace {

enum class ShowChange { Hide, Show, Restore, Maximize, Minimize, Invalid };

ShowChange ChangeOf(int command) {
  switch (command) {
    case SW_HIDE:
      return ShowChange::Hide;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWNOACTIVATE:
      return ShowChange::Restore;
    case SW_SHOWMAXIMIZED:
      return ShowChange::Maximize;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      return ShowChange::Minimize;
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_SHOWDEFAULT:
      return ShowChange::Show;
    default:
      return ShowChange::Invalid;
  }
}

LPARAM SizeParameter(int width, int height) {
  return static_cast<LPARAM>((static_cast<uint32_t>(height & 0xFFFF) << 16) | static_cast<uint32_t>(width & 0xFFFF));
}

}  // namespace

BOOL ShowOnOwnThread(HWND handle, int command) {
  ShowChange change = ChangeOf(command);
  if (change == ShowChange::Invalid) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool wasVisible, visibilityChanged, reportSize = false;
  WPARAM sizeKind = SIZE_RESTORED;
  LPARAM sizeValue = 0;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* window = FindWindowLocked(handle);
    if (!window) {
      SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    wasVisible = window->visible;
    bool wasMinimized = window->minimized;
    bool topLevel = !(window->style & WS_CHILD);
    bool resized = false;
    window->visible = change != ShowChange::Hide;
    if (change == ShowChange::Restore) {
      if (window->minimized) {
        window->minimized = false;
      } else if (window->maximized) {
        window->maximized = false;
        resized = PlaceWindowLocked(*window, window->normalPlacement);
      }
    } else if (change == ShowChange::Maximize) {
      window->minimized = false;
      if (!window->maximized && topLevel) {
        window->normalPlacement = window->placement;
        window->maximized = true;
        resized = PlaceWindowLocked(*window, MaximizedPlacement(window->style));
      }
    } else if (change == ShowChange::Minimize) {
      window->minimized = true;
    }
    visibilityChanged = wasVisible != window->visible;
    if (window->visible) {
      bool minimizedChanged = wasMinimized != window->minimized;
      // Shown, restored or resized: all of the client area needs painting.
      if (!window->minimized && (!wasVisible || wasMinimized || resized)) InvalidateLocked(*window, nullptr, true);
      reportSize = !window->sizeReported || minimizedChanged || resized;
      window->sizeReported = true;
      sizeKind = window->minimized ? SIZE_MINIMIZED : window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
      sizeValue = window->minimized ? 0 : SizeParameter(window->clientWidth, window->clientHeight);
    }
  }
  if (visibilityChanged) CallWindowProcedure(handle, WM_SHOWWINDOW, change != ShowChange::Hide, 0);
  if (reportSize) CallWindowProcedure(handle, WM_SIZE, sizeKind, sizeValue);
  if (DisplayHost* host = ActiveHost()) host->ShowHostWindow(handle);
  return wasVisible ? TRUE : FALSE;
}

}  // namespace win::stand_in
