// The X11 host under a virtual X server of the test's own: the window's
// properties, the close button, exposures becoming paints, what is shown being
// what was drawn (in a few requests), and losing the server.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/posix/testing/x11_display.h"
#include "tests/platform/user/window_fixture.h"
#include "tests/support/fresh_process.h"

namespace {

using namespace window_tests;

// Xvfb on the first free display number, with DISPLAY pointing at it, and the
// test's own connection for looking at the windows. The shell's process
// becomes Xvfb's, and Xvfb writes its display number once it accepts connections.
struct XvfbServer {
  FILE* shell = popen("echo $$; exec Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp 2>/dev/null", "r");
  int pid = 0, display = -1;
  Display* observer = nullptr;

  XvfbServer() {
    if (!shell || fscanf(shell, "%d %d", &pid, &display) != 2) return;
    std::string name = ":" + std::to_string(display);
    setenv("DISPLAY", name.c_str(), 1);
    observer = XOpenDisplay(name.c_str());
  }
  ~XvfbServer() { Kill(); }
  // The observer goes first: Xlib ends a process whose connection breaks.
  void Kill() {
    if (observer) XCloseDisplay(observer);
    observer = nullptr;
    if (pid > 0) kill(pid, SIGKILL);
    if (shell) pclose(shell);
    shell = nullptr;
  }
};

// A property's items: chars for text, longs for atom lists.
template <typename Item>
std::vector<Item> Property(Display* d, Window x, const char* name) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::vector<Item> items;
  if (XGetWindowProperty(d, x, XInternAtom(d, name, False), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                         &after, &data) == Success &&
      data)
    items.assign(reinterpret_cast<Item*>(data), reinterpret_cast<Item*>(data) + count);
  if (data) XFree(data);
  return items;
}

// The graph window on an Xvfb screen of 800 x 600, shown and painted once.
class X11Host : public ::testing::Test {
 protected:
  XvfbServer server;
  Display* d = server.observer;
  std::unique_ptr<WindowThread> thread;  // ends before the server
  win::HWND window = nullptr;
  Window x = 0;

  void SetUp() override {
    ASSERT_NE(d, nullptr) << "Xvfb could not be started";
    StartClean(si::UseX11Display);
  }
  void Open(win::DWORD style = WS_OVERLAPPEDWINDOW) {
    thread = std::make_unique<WindowThread>(WindowRequest{"ZynGraphWindow", "Graph window application", style,
                                                          CW_USEDEFAULT, 0, 408, 327});  // a 400 x 300 client area
    window = thread->window;
    x = si::X11WindowOf(window);
    XWindowAttributes attributes;
    ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
    ASSERT_TRUE(
        Eventually([&] { return XGetWindowAttributes(d, x, &attributes) && attributes.map_state == IsViewable; }));
  }
  // What the X window shows is the client surface, pixel for pixel.
  bool ShownAsDrawn() {
    std::vector<win::COLORREF> surface = si::ClientPixels(window);
    si::WindowFacts facts = si::DescribeWindow(window);
    XImage* image = XGetImage(d, x, 0, 0, facts.clientWidth, facts.clientHeight, AllPlanes, ZPixmap);
    if (!image) return false;
    bool same = !surface.empty() && surface.size() == static_cast<size_t>(facts.clientWidth * facts.clientHeight);
    for (int i = 0; same && i < static_cast<int>(surface.size()); ++i) {
      unsigned long p = XGetPixel(image, i % facts.clientWidth, i / facts.clientWidth);  // 0xRRGGBB
      same = surface[i] == RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
    }
    XDestroyImage(image);
    return same;
  }
};

TEST_F(X11Host, MaximisedWindowCarriesCaptionClassAndStateAndClosesByTheCloseButton) {
  // The screen size comes from the display; the full-screen height leaves out the caption.
  int fullHeight = 600 - win::GetSystemMetrics(SM_CYCAPTION);
  EXPECT_TRUE(win::GetSystemMetrics(SM_CXSCREEN) == 800 && win::GetSystemMetrics(SM_CYSCREEN) == 600);
  EXPECT_TRUE(win::GetSystemMetrics(SM_CXFULLSCREEN) == 800 && win::GetSystemMetrics(SM_CYFULLSCREEN) == fullHeight);
  ASSERT_NO_FATAL_FAILURE(Open(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE));
  for (const char* name : {"WM_NAME", "_NET_WM_NAME"}) {
    std::vector<char> caption = Property<char>(d, x, name);
    EXPECT_EQ(std::string(caption.begin(), caption.end()), "Graph window application") << name;
  }
  std::vector<char> hint = Property<char>(d, x, "WM_CLASS");  // instance and class, each ending in NUL
  EXPECT_TRUE(std::string(hint.begin(), hint.end()).ends_with(std::string("ZynGraphWindow") + '\0'));
  auto has = [&](const char* property, const char* atom) {
    return std::ranges::count(Property<long>(d, x, property), static_cast<long>(XInternAtom(d, atom, False))) == 1;
  };
  EXPECT_TRUE(has("WM_PROTOCOLS", "WM_DELETE_WINDOW"));
  EXPECT_TRUE(has("_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT") &&
              has("_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_HORZ"));
  // No window manager runs here: the window itself has the full-screen size.
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(d, x, &attributes));
  EXPECT_TRUE(attributes.width == 800 && attributes.height == fullHeight);
  EXPECT_EQ(si::DescribeWindow(window).clientHeight, fullHeight);
  EXPECT_TRUE(Eventually([&] { return ShownAsDrawn(); }));  // black, as created

  // The close button, as a window manager presses it.
  XEvent close{.xclient = {ClientMessage, 0, False, d, x, XInternAtom(d, "WM_PROTOCOLS", False), 32, {}}};
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  XSendEvent(d, x, False, NoEventMask, &close);
  XFlush(d);
  ASSERT_TRUE(thread->EndsByQuit());
  EXPECT_EQ(Logged(Ending, window), Ending);
  // The server takes the destruction from the thread's connection in its own time.
  EXPECT_TRUE(Eventually([&] { return !XGetWindowAttributes(d, x, &attributes); }));
  EXPECT_FALSE(win::IsWindow(window));
}

TEST_F(X11Host, ShownPixelsAreTheDrawnOnesAndTakeFewRequests) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(Eventually([&] { return ShownAsDrawn(); }));
  // 15966 scattered pixels drawn from this thread while the window thread waits.
  si::X11PresentCounts before = si::PresentCounts();
  uint32_t seed = 12345;
  for (int i = 0; i < 15966; ++i) {
    seed = seed * 1103515245u + 12345u;
    DrawPixel((seed >> 8) % 400, (seed >> 20) % 300, RGB(seed & 0xFF, (seed >> 4) & 0xFF, 0x80 | (i & 0x7F)));
  }
  ASSERT_TRUE(Eventually([&] { return ShownAsDrawn(); }));
  si::X11PresentCounts after = si::PresentCounts();
  EXPECT_GE(after.images - before.images, 1u);
  EXPECT_LT(after.requests - before.requests, 200u);

  // An exposure (XClearArea with exposures) is repainted from the canvas.
  int paints = si::DescribeWindow(window).paints;
  XClearArea(d, x, 50, 40, 120, 80, True);
  XFlush(d);
  ASSERT_TRUE(si::WaitForPaints(window, paints + 1, 10000));
  EXPECT_TRUE(SameRect(Painted(-1), win::RECT{50, 40, 170, 120}));
  EXPECT_TRUE(Eventually([&] { return ShownAsDrawn(); }));
  // A resize by someone else (a window manager maximising it, say) reaches the surface.
  XResizeWindow(d, x, 300, 200);
  XFlush(d);
  EXPECT_TRUE(Eventually([&] { return si::ClientPixels(window).size() == 300u * 200u && ShownAsDrawn(); }));
}

TEST_F(X11Host, LosingTheServerEndsTheWindowsThreadAsDestructionDoesButNotTheProcess) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // The server goes away while this thread keeps drawing.
  std::atomic<bool> drawing{true};
  std::thread painter([&] {
    for (int i = 0; drawing; ++i) DrawPixel(i % 400, (i / 400) % 300, RGB(i, 0, 0));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  server.Kill();
  EXPECT_TRUE(thread->EndsByQuit());
  drawing = false;
  painter.join();
  EXPECT_EQ(Logged(Ending, window), (Messages{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(win::IsWindow(window));
  // With no server, new windows fail.
  EXPECT_EQ(WindowThread().window, nullptr);
}

// A server that takes connections but never answers counts as no display
// after a short wait: the metrics fall back to their defaults, and windows
// fail at once from then on.
TEST(X11HostStalled, AStoppedServerCountsAsNoneAfterAShortWaitAndIsNotAskedAgain) {
  if (!testing_support::InFreshProcess()) return;
  XvfbServer server;
  ASSERT_NE(server.observer, nullptr) << "Xvfb could not be started";
  // Without a connection of its own: none could be closed on a stopped server.
  XCloseDisplay(server.observer);
  server.observer = nullptr;
  kill(server.pid, SIGSTOP);
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };
  EXPECT_EQ(win::GetSystemMetrics(SM_CXSCREEN), si::DisplayMetrics{}.screenWidth);  // not Xvfb's 800
  EXPECT_TRUE(elapsed() >= 400 && elapsed() < 1000) << elapsed();
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(WindowThread().window, nullptr);
  EXPECT_LT(elapsed(), 200);
}

}  // namespace
