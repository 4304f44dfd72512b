// Opening, watching and closing the X11 host's per-thread connections.
#include "platform/posix/user/x11_connection.h"

#include <X11/Xatom.h>
#include <poll.h>
#include <signal.h>

#include <mutex>
#include <vector>

#include "platform/posix/user/display_host.h"

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

}  // namespace

X11Connection* UsableConnection() {
  return threadConnection && !threadConnection->broken ? threadConnection : nullptr;
}

X11Connection* ThreadConnection(bool open) {
  if (threadConnection) return threadConnection;
  if (!open) return nullptr;
  Display* display = OpenDisplay();
  if (!display) return nullptr;
  auto* c = new X11Connection;
  c->display = display;
  c->screen = DefaultScreen(display);
  c->root = RootWindow(display, c->screen);
  c->visual = DefaultVisual(display, c->screen);
  c->depth = DefaultDepth(display, c->screen);
  c->gc = XCreateGC(display, c->root, 0, nullptr);
  c->wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
  c->wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  c->wmState = XInternAtom(display, "WM_STATE", False);
  c->netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  c->utf8String = XInternAtom(display, "UTF8_STRING", False);
  c->netWmPid = XInternAtom(display, "_NET_WM_PID", False);
  c->netWmState = XInternAtom(display, "_NET_WM_STATE", False);
  c->netWmStateMaximizedVert = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
  c->netWmStateMaximizedHorz = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
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
  if (c->broken) {
    // Once a connection failed, Xlib's own locking of it is no longer sound:
    // it is not touched again, only kept (so it is not reported as leaked).
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

bool X11ScreenSize(int& width, int& height) {
  static std::once_flag asked;
  static int screenWidth = 0, screenHeight = 0;
  std::call_once(asked, [] {
    Display* display = OpenDisplay();
    if (!display) return;
    screenWidth = DisplayWidth(display, DefaultScreen(display));
    screenHeight = DisplayHeight(display, DefaultScreen(display));
    XCloseDisplay(display);
  });
  width = screenWidth;
  height = screenHeight;
  return screenWidth > 0;
}

}  // namespace win::stand_in
