// The X11 host's connection: each thread that creates windows opens its own,
// so Xlib is only ever used by one thread per connection. A connection that
// breaks (server gone) is marked and never used again; X errors are ignored.
#pragma once

#include <X11/Xlib.h>

#include <map>

#include "platform/posix/win_types.h"

namespace win::stand_in {

struct X11WindowState {
  HWND window = nullptr;
  bool mapRequested = false;
  bool iconified = false;
  bool maximizedState = false;  // what the window manager was last told
};

struct X11Connection {
  Display* display = nullptr;
  bool broken = false;
  int screen = 0;
  ::Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  GC gc = nullptr;
  Atom wmProtocols = 0, wmDeleteWindow = 0, wmState = 0;
  Atom netWmName = 0, utf8String = 0, netWmPid = 0;
  Atom netWmState = 0, netWmStateMaximizedVert = 0, netWmStateMaximizedHorz = 0;
  std::map<::Window, X11WindowState> windows;
};

// Loads libX11 on the calling thread (once); false when it is not there. Done
// before a timed open, so that the time limit is the server's alone.
bool LoadXlib();
// The calling thread's connection, opened when asked to and possible; null
// when there is none. A broken one is still returned, to be closed.
X11Connection* ThreadConnection(bool open);
// The same, but null when it broke: one that may be used.
X11Connection* UsableConnection();
// True when the connection broke; looks at the socket first, so that Xlib is
// not asked to read from a connection the server has closed.
bool ConnectionLost(X11Connection& connection);
// Ends the calling thread's connection; its windows go with it.
void CloseThreadConnection();

}  // namespace win::stand_in
