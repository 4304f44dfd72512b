// Opening, watching and closing the X11 host's per-thread connections.
#include "platform/posix/user/x11_connection.h"

#include <poll.h>
#include <signal.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/posix/user/display_host.h"
#include "platform/posix/user/x11_timed_open.h"

namespace win::stand_in {
namespace {

thread_local X11Connection* threadConnection = nullptr;

void MarkBroken(Display* display) {
  if (threadConnection && threadConnection->display == display) threadConnection->broken = true;
}

// A failed request (a window already gone, say) is not worth ending over.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}
int ConnectionBroke(Display* display) {
  MarkBroken(display);
  return 0;
}
// Returning from here, instead of Xlib's exit, keeps the process alive.
void KeepRunning(Display* display, void*) {
  MarkBroken(display);
}

void InstallErrorHandlers() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    XSetErrorHandler(IgnoreError);
    XSetIOErrorHandler(ConnectionBroke);
    // Writing to a server that went away must fail, not kill the process.
    struct sigaction current {};
    sigaction(SIGPIPE, nullptr, &current);
    if (current.sa_handler == SIG_DFL) signal(SIGPIPE, SIG_IGN);
  });
}

Display* OpenDisplay() {
  InstallErrorHandlers();
  Display* display = XOpenDisplay(nullptr);
  if (display) XSetIOErrorExitHandler(display, KeepRunning, nullptr);
  return display;
}

// The connection with everything the host needs from the server at once (one
// round trip for the atoms); made on the helper of the timed open, whose
// thread-local connection it is meanwhile, so that a break is marked on it.
void* ConnectDisplay() {
  Display* display = OpenDisplay();
  if (!display) return nullptr;
  auto* c = new X11Connection;
  threadConnection = c;
  c->display = display;
  c->screen = DefaultScreen(display);
  c->root = RootWindow(display, c->screen);
  c->visual = DefaultVisual(display, c->screen);
  c->depth = DefaultDepth(display, c->screen);
  c->gc = XCreateGC(display, c->root, 0, nullptr);
  const char* names[] = {"WM_PROTOCOLS",
                         "WM_DELETE_WINDOW",
                         "WM_STATE",
                         "_NET_WM_NAME",
                         "UTF8_STRING",
                         "_NET_WM_PID",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_MAXIMIZED_VERT",
                         "_NET_WM_STATE_MAXIMIZED_HORZ"};
  Atom* atoms[] = {&c->wmProtocols,
                   &c->wmDeleteWindow,
                   &c->wmState,
                   &c->netWmName,
                   &c->utf8String,
                   &c->netWmPid,
                   &c->netWmState,
                   &c->netWmStateMaximizedVert,
                   &c->netWmStateMaximizedHorz};
  constexpr int count = sizeof names / sizeof names[0];
  Atom answers[count] = {};
  if (!XInternAtoms(display, const_cast<char**>(names), count, False, answers)) c->broken = true;
  for (int i = 0; i < count; ++i) *atoms[i] = answers[i];
  threadConnection = nullptr;
  return c;
}

// Once a connection failed, Xlib's own locking of it is no longer sound: it
// is not touched again, only kept (so it is not reported as leaked).
void Release(X11Connection* c) {
  if (c->broken) {
    static std::mutex lock;
    static auto* broken = new std::vector<X11Connection*>;
    std::lock_guard<std::mutex> guard(lock);
    broken->push_back(c);
    return;
  }
  XFreeGC(c->display, c->gc);
  XCloseDisplay(c->display);
  delete c;
}

void DiscardConnection(void* connection) {
  Release(static_cast<X11Connection*>(connection));
}

}  // namespace

bool DisplayNamed() {
  const char* name = std::getenv("DISPLAY");
  return name && *name;
}

X11Connection* UsableConnection() {
  return threadConnection && !threadConnection->broken ? threadConnection : nullptr;
}

X11Connection* ThreadConnection(bool open) {
  if (threadConnection) return threadConnection;
  if (!open || !DisplayNamed() || !LoadXlib()) return nullptr;
  auto* c = static_cast<X11Connection*>(OpenWithinAnswerLimit(ConnectDisplay, DiscardConnection));
  if (!c) return nullptr;
  threadConnection = c;
  return c->broken ? nullptr : c;
}

bool ConnectionLost(X11Connection& connection) {
  if (connection.broken) return true;
  pollfd socket{ConnectionNumber(connection.display), POLLIN, 0};
  if (poll(&socket, 1, 0) > 0 && (socket.revents & (POLLHUP | POLLERR | POLLNVAL))) connection.broken = true;
  return connection.broken;
}

void CloseThreadConnection() {
  X11Connection* c = threadConnection;
  if (!c) return;
  threadConnection = nullptr;
  Release(c);
}

}  // namespace win::stand_in
