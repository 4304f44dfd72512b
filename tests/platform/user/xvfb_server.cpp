// Starting and stopping the tests' Xvfb, and reading what it shows.
#include "tests/platform/user/xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace window_tests {

XvfbServer::XvfbServer(const std::string& screen) {
  int ready[2];
  if (pipe(ready)) return;
  pid_ = fork();
  if (pid_ == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    dup2(ready[1], 3);
    execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten", "tcp", nullptr);
    _exit(127);
  }
  close(ready[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd wait{ready[0], POLLIN, 0};
  while (poll(&wait, 1, 20000) > 0) {
    char c;
    if (read(ready[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(ready[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  setenv("DISPLAY", name_.c_str(), 1);
  inspector_ = XOpenDisplay(name_.c_str());
}

XvfbServer::~XvfbServer() {
  Kill();
}

// The inspector goes first: Xlib ends a process whose connection breaks.
void XvfbServer::Kill() {
  if (inspector_) XCloseDisplay(inspector_);
  inspector_ = nullptr;
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string TextProperty(Display* display, Window window, const char* property) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1024, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) == Success &&
      data && format == 8)
    text.assign(reinterpret_cast<char*>(data), count);
  if (data) XFree(data);
  return text;
}

std::vector<Atom> AtomProperty(Display* display, Window window, const char* property) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::vector<Atom> atoms;
  if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 64, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success &&
      data && format == 32) {
    const long* values = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < count; ++i) atoms.push_back(static_cast<Atom>(values[i]));
  }
  if (data) XFree(data);
  return atoms;
}

std::vector<unsigned> WindowImage(Display* display, Window window, int width, int height) {
  XImage* image =
      XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<unsigned> pixels;
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned long p = XGetPixel(image, x, y);  // a 24-bit TrueColor screen: 0xRRGGBB
      pixels.push_back(static_cast<unsigned>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16)));
    }
  XDestroyImage(image);
  return pixels;
}

}  // namespace window_tests
