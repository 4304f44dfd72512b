// The Xlib calls of the X11 host, loaded on first use: a program that never
// meets a display (no DISPLAY, output to a terminal only) does not map libX11
// and the five libraries under it before its first prompt. Hidden, so that the
// exported symbols of the program do not stand in for libX11's own calls.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include "platform/posix/user/x11_connection.h"

namespace {

void* Library() {
  static void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  return library;
}

void* Symbol(const char* name) {
  void* library = Library();
  return library ? dlsym(library, name) : nullptr;
}

}  // namespace

#define X11_REAL(name) static const auto real = reinterpret_cast<decltype(&::name)>(Symbol(#name))
// Calls made before a display is open find no library when it is missing.
#define X11_FORWARD_OR(fallback, name, ...) \
  X11_REAL(name);                           \
  return real ? real(__VA_ARGS__) : fallback
// Calls that need an open display, so the library is there.
#define X11_FORWARD(name, ...) \
  X11_REAL(name);              \
  return real(__VA_ARGS__)

namespace win::stand_in {

bool LoadXlib() {
  return Library() != nullptr;
}

}  // namespace win::stand_in

#pragma GCC visibility push(hidden)
extern "C" {

Display* XOpenDisplay(_Xconst char* name) {
  X11_FORWARD_OR(nullptr, XOpenDisplay, name);
}
XErrorHandler XSetErrorHandler(XErrorHandler handler) {
  X11_FORWARD_OR(nullptr, XSetErrorHandler, handler);
}
XIOErrorHandler XSetIOErrorHandler(XIOErrorHandler handler) {
  X11_FORWARD_OR(nullptr, XSetIOErrorHandler, handler);
}
void XSetIOErrorExitHandler(Display* display, XIOErrorExitHandler handler, void* data) {
  X11_FORWARD(XSetIOErrorExitHandler, display, handler, data);
}
int XCloseDisplay(Display* display) {
  X11_FORWARD(XCloseDisplay, display);
}
int XFlush(Display* display) {
  X11_FORWARD(XFlush, display);
}
int XPending(Display* display) {
  X11_FORWARD(XPending, display);
}
int XEventsQueued(Display* display, int mode) {
  X11_FORWARD(XEventsQueued, display, mode);
}
int XNextEvent(Display* display, XEvent* event) {
  X11_FORWARD(XNextEvent, display, event);
}
unsigned long XNextRequest(Display* display) {
  X11_FORWARD(XNextRequest, display);
}
Status XSendEvent(Display* display, Window w, Bool propagate, long mask, XEvent* event) {
  X11_FORWARD(XSendEvent, display, w, propagate, mask, event);
}
Status XInternAtoms(Display* display, char** names, int count, Bool onlyIfExists, Atom* atoms) {
  X11_FORWARD(XInternAtoms, display, names, count, onlyIfExists, atoms);
}
GC XCreateGC(Display* display, Drawable d, unsigned long mask, XGCValues* values) {
  X11_FORWARD(XCreateGC, display, d, mask, values);
}
int XFreeGC(Display* display, GC gc) {
  X11_FORWARD(XFreeGC, display, gc);
}
Window XCreateWindow(Display* display, Window parent, int x, int y, unsigned int width, unsigned int height,
                     unsigned int borderWidth, int depth, unsigned int windowClass, Visual* visual, unsigned long mask,
                     XSetWindowAttributes* attributes) {
  X11_FORWARD(XCreateWindow, display, parent, x, y, width, height, borderWidth, depth, windowClass, visual, mask,
              attributes);
}
int XDestroyWindow(Display* display, Window w) {
  X11_FORWARD(XDestroyWindow, display, w);
}
int XMapWindow(Display* display, Window w) {
  X11_FORWARD(XMapWindow, display, w);
}
int XUnmapWindow(Display* display, Window w) {
  X11_FORWARD(XUnmapWindow, display, w);
}
Status XWithdrawWindow(Display* display, Window w, int screen) {
  X11_FORWARD(XWithdrawWindow, display, w, screen);
}
Status XIconifyWindow(Display* display, Window w, int screen) {
  X11_FORWARD(XIconifyWindow, display, w, screen);
}
int XResizeWindow(Display* display, Window w, unsigned int width, unsigned int height) {
  X11_FORWARD(XResizeWindow, display, w, width, height);
}
int XStoreName(Display* display, Window w, _Xconst char* name) {
  X11_FORWARD(XStoreName, display, w, name);
}
int XChangeProperty(Display* display, Window w, Atom property, Atom type, int format, int mode,
                    _Xconst unsigned char* data, int count) {
  X11_FORWARD(XChangeProperty, display, w, property, type, format, mode, data, count);
}
int XDeleteProperty(Display* display, Window w, Atom property) {
  X11_FORWARD(XDeleteProperty, display, w, property);
}
int XSetClassHint(Display* display, Window w, XClassHint* hint) {
  X11_FORWARD(XSetClassHint, display, w, hint);
}
int XSetWMHints(Display* display, Window w, XWMHints* hints) {
  X11_FORWARD(XSetWMHints, display, w, hints);
}
void XSetWMNormalHints(Display* display, Window w, XSizeHints* hints) {
  X11_FORWARD(XSetWMNormalHints, display, w, hints);
}
Status XSetWMProtocols(Display* display, Window w, Atom* protocols, int count) {
  X11_FORWARD(XSetWMProtocols, display, w, protocols, count);
}
XImage* XCreateImage(Display* display, Visual* visual, unsigned int depth, int format, int offset, char* data,
                     unsigned int width, unsigned int height, int pad, int bytesPerLine) {
  X11_FORWARD(XCreateImage, display, visual, depth, format, offset, data, width, height, pad, bytesPerLine);
}
int XPutImage(Display* display, Drawable d, GC gc, XImage* image, int sourceX, int sourceY, int x, int y,
              unsigned int width, unsigned int height) {
  X11_FORWARD(XPutImage, display, d, gc, image, sourceX, sourceY, x, y, width, height);
}

}  // extern "C"
#pragma GCC visibility pop
