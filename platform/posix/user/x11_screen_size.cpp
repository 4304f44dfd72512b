// The X screen's size for the metrics the program asks for at its start-up.
// The connection set-up alone carries it, so the question goes through libxcb
// (one round trip, five small libraries) rather than Xlib (several round trips
// for its extensions, and libX11 itself to load); Xlib comes with the first window.
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <mutex>

#include "platform/posix/user/display_host.h"
#include "platform/posix/user/x11_connection.h"
#include "platform/posix/user/x11_timed_open.h"

namespace win::stand_in {
namespace {

struct ScreenSize {
  int width = 0, height = 0;
};

struct Xcb {
  decltype(&xcb_connect) connect = nullptr;
  decltype(&xcb_connection_has_error) hasError = nullptr;
  decltype(&xcb_get_setup) setup = nullptr;
  decltype(&xcb_setup_roots_iterator) screens = nullptr;
  decltype(&xcb_screen_next) nextScreen = nullptr;
  decltype(&xcb_disconnect) disconnect = nullptr;
};

template <typename F>
bool Find(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

// Loaded on the asking thread, before the timed open: the limit is the server's.
Xcb xcb;

bool LoadXcb(Xcb& x) {
  void* library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  return library && Find(library, "xcb_connect", x.connect) && Find(library, "xcb_connection_has_error", x.hasError) &&
         Find(library, "xcb_get_setup", x.setup) && Find(library, "xcb_setup_roots_iterator", x.screens) &&
         Find(library, "xcb_screen_next", x.nextScreen) && Find(library, "xcb_disconnect", x.disconnect);
}

void* AskScreenSize() {
  const Xcb& x = xcb;
  int number = 0;
  xcb_connection_t* connection = x.connect(nullptr, &number);
  ScreenSize* size = nullptr;
  if (!x.hasError(connection)) {
    xcb_screen_iterator_t screen = x.screens(x.setup(connection));
    for (; screen.rem > 0 && number > 0; --number) x.nextScreen(&screen);
    if (screen.rem > 0) size = new ScreenSize{screen.data->width_in_pixels, screen.data->height_in_pixels};
  }
  x.disconnect(connection);
  return size;
}

void DiscardScreenSize(void* size) {
  delete static_cast<ScreenSize*>(size);
}

}  // namespace

// Asked once, at the first metrics query: the program's start-up.
bool X11ScreenSize(int& width, int& height) {
  static std::once_flag asked;
  static ScreenSize screen;
  std::call_once(asked, [] {
    if (!DisplayNamed() || !LoadXcb(xcb)) return;
    if (auto* size = static_cast<ScreenSize*>(OpenWithinAnswerLimit(AskScreenSize, DiscardScreenSize))) {
      screen = *size;
      delete size;
    }
  });
  width = screen.width;
  height = screen.height;
  return screen.width > 0;
}

}  // namespace win::stand_in
