// A virtual X server of the test's own, on the first free display number, and
// a connection to it for looking at the windows the stand-in made.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace window_tests {

class XvfbServer {
 public:
  // Starts Xvfb with one screen of this geometry ("1024x768x24") and points
  // DISPLAY at it.
  explicit XvfbServer(const std::string& screen = "1024x768x24");
  ~XvfbServer();
  bool Running() const { return pid_ > 0 && !name_.empty(); }
  const std::string& Name() const { return name_; }
  Display* Inspector() const { return inspector_; }  // the test's own connection
  void Kill();                                       // SIGKILL: the server is gone at once

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* inspector_ = nullptr;
};

// A text property of a window (WM_NAME, _NET_WM_NAME), empty when missing.
std::string TextProperty(Display* display, Window window, const char* property);
std::vector<Atom> AtomProperty(Display* display, Window window, const char* property);
// The window's pixels as 0x00BBGGRR, row-major; empty when it cannot be read.
std::vector<unsigned> WindowImage(Display* display, Window window, int width, int height);

}  // namespace window_tests
