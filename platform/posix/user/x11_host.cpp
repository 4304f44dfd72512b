// The X11 host: a real X window per window, exposures and resizes turned into
// update regions, the close button into WM_SYSCOMMAND SC_CLOSE, and a lost
// server into the destruction of the thread's windows.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/posix/kernel/code_page_text.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/display_host.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/user/window_placement.h"
#include "platform/posix/user/x11_connection.h"
#include "platform/posix/user/x11_present.h"

namespace win::stand_in {
namespace {

// How often a thread with windows looks for drawings to show while it waits.
constexpr int PresentWaitMilliseconds = 15;

// Captions are in the ANSI code page.
std::string Utf8Of(const std::string& text) {
  std::string out;
  for (unsigned char c : text) AppendUtf8(out, CodePointOfAnsiByte(c));
  return out;
}

struct Snapshot {
  bool exists = false;
  ::Window xWindow = 0, xParent = 0;
  bool topLevel = false;
  RECT placement{};
  FrameSize frame;
  int clientWidth = 0, clientHeight = 0;
  std::string caption, className;
  bool visible = false, minimized = false, maximized = false, defaultPosition = false;
};

Snapshot SnapshotOf(HWND handle) {
  std::lock_guard<std::mutex> guard(UserLock());
  Snapshot s;
  Window* w = FindWindowLocked(handle);
  if (!w) return s;
  s.exists = true;
  s.xWindow = w->hostWindow;
  if (Window* parent = w->parent ? FindWindowLocked(w->parent) : nullptr) s.xParent = parent->hostWindow;
  s.topLevel = !w->parent;
  s.placement = w->placement;
  s.frame = FrameOf(w->style);
  s.clientWidth = w->clientWidth;
  s.clientHeight = w->clientHeight;
  s.caption = w->caption;
  s.className = w->className;
  s.visible = w->visible;
  s.minimized = w->minimized;
  s.maximized = w->maximized;
  s.defaultPosition = w->defaultPosition;
  return s;
}

unsigned Positive(int value) {
  return value > 0 ? static_cast<unsigned>(value) : 1u;
}

void SetTopLevelProperties(X11Connection& c, ::Window x, const Snapshot& s) {
  Display* d = c.display;
  XStoreName(d, x, s.caption.c_str());
  std::string utf8 = Utf8Of(s.caption);
  XChangeProperty(d, x, c.netWmName, c.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  std::string resourceName = program_invocation_short_name;
  XClassHint classHint{resourceName.data(), const_cast<char*>(s.className.c_str())};
  XSetClassHint(d, x, &classHint);
  Atom protocols[] = {c.wmDeleteWindow};
  XSetWMProtocols(d, x, protocols, 1);
  long pid = getpid();
  XChangeProperty(d, x, c.netWmPid, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  XSizeHints hints{};
  hints.flags = PSize;
  hints.width = static_cast<int>(Positive(s.clientWidth));
  hints.height = static_cast<int>(Positive(s.clientHeight));
  if (!s.defaultPosition) {
    hints.flags |= USPosition | PPosition;
    hints.x = s.placement.left + s.frame.width;
    hints.y = s.placement.top + s.frame.height + s.frame.caption;
  }
  XSetWMNormalHints(d, x, &hints);
}

// Before mapping, the window manager reads the wanted state from properties.
void SetInitialState(X11Connection& c, ::Window x, const Snapshot& s) {
  if (s.maximized) {
    Atom states[] = {c.netWmStateMaximizedVert, c.netWmStateMaximizedHorz};
    XChangeProperty(c.display, x, c.netWmState, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(states),
                    2);
  } else {
    XDeleteProperty(c.display, x, c.netWmState);
  }
  XWMHints wmHints{};
  wmHints.flags = StateHint | InputHint;
  wmHints.input = True;
  wmHints.initial_state = s.minimized ? IconicState : NormalState;
  XSetWMHints(c.display, x, &wmHints);
}

// Once mapped, a change of the maximised state is a request to the window
// manager; the resize is also done here, in case none runs.
void RequestMaximized(X11Connection& c, ::Window x, bool maximized) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = x;
  event.xclient.message_type = c.netWmState;
  event.xclient.format = 32;
  event.xclient.data.l[0] = maximized ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
  event.xclient.data.l[1] = static_cast<long>(c.netWmStateMaximizedVert);
  event.xclient.data.l[2] = static_cast<long>(c.netWmStateMaximizedHorz);
  event.xclient.data.l[3] = 1;  // a normal application
  XSendEvent(c.display, c.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// The window and its children have no X window any more.
void ForgetHostWindowsLocked(HWND handle) {
  if (Window* w = FindWindowLocked(handle)) {
    w->hostWindow = 0;
    w->hostMapped = false;
  }
  for (HWND child : ChildrenLocked(handle)) ForgetHostWindowsLocked(child);
}

HWND WindowOfX(X11Connection& c, ::Window x) {
  auto found = c.windows.find(x);
  return found == c.windows.end() ? nullptr : found->second.window;
}

void OnExpose(HWND handle, const XExposeEvent& e) {
  RECT area{e.x, e.y, e.x + e.width, e.y + e.height};
  std::lock_guard<std::mutex> guard(UserLock());
  if (Window* w = FindWindowLocked(handle)) InvalidateLocked(*w, &area, true);
}

void OnConfigure(HWND handle, const XConfigureEvent& e) {
  LPARAM size;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(handle);
    if (!w || (w->clientWidth == e.width && w->clientHeight == e.height)) return;
    FrameSize frame = FrameOf(w->style);
    RECT placement = w->placement;
    placement.right = placement.left + e.width + 2 * frame.width;
    placement.bottom = placement.top + e.height + 2 * frame.height + frame.caption;
    PlaceWindowLocked(*w, placement);
    InvalidateLocked(*w, nullptr, true);
    size =
        static_cast<LPARAM>((static_cast<uint32_t>(e.height & 0xFFFF) << 16) | static_cast<uint32_t>(e.width & 0xFFFF));
  }
  CallWindowProcedure(handle, WM_SIZE, SIZE_RESTORED, size);
}

// The window manager (or the person through it) iconified or restored it.
void OnMapChange(X11Connection& c, HWND handle, ::Window x, bool mapped) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* w = FindWindowLocked(handle);
  if (!w) return;
  w->hostMapped = mapped;
  X11WindowState& state = c.windows[x];
  if (!w->parent && w->visible) {
    if (!mapped && state.mapRequested && !w->minimized) {
      w->minimized = true;
      state.iconified = true;
    } else if (mapped && w->minimized) {
      w->minimized = false;
      state.iconified = false;
      InvalidateLocked(*w, nullptr, true);
    }
  }
}

void OnDestroyed(X11Connection& c, HWND handle, ::Window x) {
  c.windows.erase(x);
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(handle);
    if (!w || w->hostWindow != x) return;
    ForgetHostWindowsLocked(handle);
    if (w->destroying) return;
  }
  DestroyWindow(handle);
}

void HandleEvent(X11Connection& c, XEvent& event) {
  ::Window x = event.xany.window;
  if (event.type == DestroyNotify) x = event.xdestroywindow.window;
  if (event.type == MapNotify) x = event.xmap.window;
  if (event.type == UnmapNotify) x = event.xunmap.window;
  if (event.type == ConfigureNotify) x = event.xconfigure.window;
  HWND handle = WindowOfX(c, x);
  if (!handle) return;
  switch (event.type) {
    case Expose:
      OnExpose(handle, event.xexpose);
      break;
    case ConfigureNotify:
      OnConfigure(handle, event.xconfigure);
      break;
    case MapNotify:
      OnMapChange(c, handle, x, true);
      break;
    case UnmapNotify:
      OnMapChange(c, handle, x, false);
      break;
    case ClientMessage:
      if (event.xclient.message_type == c.wmProtocols && static_cast<Atom>(event.xclient.data.l[0]) == c.wmDeleteWindow)
        CallWindowProcedure(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case DestroyNotify:
      OnDestroyed(c, handle, x);
      break;
  }
}

// The server is gone: the thread's windows are destroyed as DestroyWindow
// would, so their procedures see WM_DESTROY and the thread can end its loop.
void HandleLostConnection() {
  std::vector<HWND> topLevel;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    for (Window* w : WindowsLocked(GetCurrentThreadId())) {
      if (!w->hostWindow) continue;
      w->hostWindow = 0;
      w->hostMapped = false;
      if (!w->parent) topLevel.push_back(w->handle);
    }
  }
  CloseThreadConnection();
  for (HWND handle : topLevel) DestroyWindow(handle);
}

class X11Display : public DisplayHost {
 public:
  bool CreateHostWindow(HWND handle) override {
    X11Connection* c = ThreadConnection(true);
    if (!c || c->broken) return false;
    Snapshot s = SnapshotOf(handle);
    if (!s.exists || (!s.topLevel && !s.xParent)) return false;
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(c->display, c->screen);
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    // The X window is the client area; a window manager adds its own frame.
    int x = s.placement.left + s.frame.width, y = s.placement.top + s.frame.height + s.frame.caption;
    ::Window xWindow = XCreateWindow(c->display, s.topLevel ? c->root : s.xParent, x, y, Positive(s.clientWidth),
                                     Positive(s.clientHeight), 0, CopyFromParent, InputOutput, CopyFromParent,
                                     CWBackPixel | CWBitGravity | CWEventMask, &attributes);
    if (s.topLevel) SetTopLevelProperties(*c, xWindow, s);
    XFlush(c->display);
    if (c->broken) return false;
    c->windows[xWindow] = X11WindowState{handle};
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(handle);
    if (!w) return false;
    w->hostWindow = xWindow;
    return true;
  }

  void DestroyHostWindow(HWND handle) override {
    ::Window x;
    {
      std::lock_guard<std::mutex> guard(UserLock());
      Window* w = FindWindowLocked(handle);
      if (!w || !w->hostWindow) return;
      x = w->hostWindow;
      ForgetHostWindowsLocked(handle);
    }
    X11Connection* c = UsableConnection();
    if (!c) return;
    c->windows.erase(x);
    XDestroyWindow(c->display, x);
    XFlush(c->display);
  }

  void ShowHostWindow(HWND handle) override {
    X11Connection* c = UsableConnection();
    Snapshot s = SnapshotOf(handle);
    if (!c || !s.xWindow) return;
    X11WindowState& state = c->windows[s.xWindow];
    Display* d = c->display;
    if (!s.visible) {
      if (state.mapRequested) s.topLevel ? XWithdrawWindow(d, s.xWindow, c->screen) : XUnmapWindow(d, s.xWindow);
      state.mapRequested = false;
    } else if (!state.mapRequested) {
      if (s.topLevel) SetInitialState(*c, s.xWindow, s);
      XResizeWindow(d, s.xWindow, Positive(s.clientWidth), Positive(s.clientHeight));
      XMapWindow(d, s.xWindow);
      state.mapRequested = true;
      state.iconified = s.minimized;
      state.maximizedState = s.maximized;
    } else {
      if (s.minimized && !state.iconified) XIconifyWindow(d, s.xWindow, c->screen);
      if (!s.minimized && state.iconified) XMapWindow(d, s.xWindow);
      state.iconified = s.minimized;
      if (s.topLevel && s.maximized != state.maximizedState) RequestMaximized(*c, s.xWindow, s.maximized);
      state.maximizedState = s.maximized;
      XResizeWindow(d, s.xWindow, Positive(s.clientWidth), Positive(s.clientHeight));
    }
    XFlush(d);
  }

  void ProcessEvents() override {
    X11Connection* c = ThreadConnection(false);
    if (!c) return;
    if (ConnectionLost(*c)) return HandleLostConnection();
    while (XPending(c->display) > 0) {
      XEvent event;
      XNextEvent(c->display, &event);
      HandleEvent(*c, event);
      c = ThreadConnection(false);  // a procedure may have ended it
      if (!c) return;
      if (c->broken) break;
    }
    if (c->broken) HandleLostConnection();
  }

  void Present() override {
    X11Connection* c = UsableConnection();
    if (!c || ConnectionLost(*c)) return;
    PresentDamage(*c);
  }

  // A broken connection is handled at once, by the next ProcessEvents.
  int WaitDescriptor() override {
    X11Connection* c = UsableConnection();
    return c ? ConnectionNumber(c->display) : -1;
  }

  int WaitTimeoutMilliseconds() override {
    X11Connection* c = ThreadConnection(false);
    if (!c) return -1;
    if (c->broken || XEventsQueued(c->display, QueuedAlready) > 0) return 0;
    return c->windows.empty() ? -1 : PresentWaitMilliseconds;
  }

  void ThreadEnded(DWORD) override { CloseThreadConnection(); }
};

}  // namespace

DisplayHost* X11Host() {
  static X11Display* host = new X11Display;
  return host;
}

}  // namespace win::stand_in
