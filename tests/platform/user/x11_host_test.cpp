// The X11 host under a virtual X server of the test's own: the window's
// properties, exposures becoming paints, what is shown being what was drawn
// (in a few requests), the close button, and losing the server.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/posix/user/memory_display.h"
#include "platform/posix/user/x11_display.h"
#include "tests/platform/user/window_fixture.h"
#include "tests/platform/user/xvfb_server.h"

namespace {

using namespace window_tests;
namespace si = win::stand_in;

bool Eventually(const std::function<bool()>& condition, int milliseconds = 10000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool Viewable(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

bool Exists(Display* display, Window window) {
  XWindowAttributes attributes;
  XSync(display, False);
  return XGetWindowAttributes(display, window, &attributes) != 0;
}

bool ShownAsDrawn(Display* display, Window x, win::HWND window) {
  si::WindowFacts facts = si::DescribeWindow(window);
  std::vector<win::COLORREF> surface = si::ClientPixels(window);
  std::vector<unsigned> shown = WindowImage(display, x, facts.clientWidth, facts.clientHeight);
  return !surface.empty() && shown.size() == surface.size() && std::equal(shown.begin(), shown.end(), surface.begin());
}

WindowRequest GraphWindow() {
  WindowRequest request;
  request.className = "ZynGraphWindow";
  request.caption = "Graph window application";
  request.width = 408;  // a 400 x 300 client area
  request.height = 327;
  return request;
}

TEST(X11Host, TopLevelWindowCarriesCaptionClassProtocolsAndMaximisedState) {
  XvfbServer server;
  ASSERT_TRUE(server.Running()) << "Xvfb could not be started";
  EXPECT_EQ(win::GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(win::GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(win::GetSystemMetrics(SM_CYFULLSCREEN), 768 - 19);
  WindowRequest request = GraphWindow();
  request.style |= WS_MAXIMIZE;
  WindowThread thread(request);
  ASSERT_NE(thread.Window(), nullptr);
  Display* d = server.Inspector();
  Window x = si::X11WindowOf(thread.Window());
  ASSERT_NE(x, 0u);
  ASSERT_TRUE(si::WaitForFirstPaint(thread.Window(), 10000));
  ASSERT_TRUE(Eventually([&] { return Viewable(d, x); }));

  EXPECT_EQ(TextProperty(d, x, "WM_NAME"), "Graph window application");
  EXPECT_EQ(TextProperty(d, x, "_NET_WM_NAME"), "Graph window application");
  XClassHint hint{};
  ASSERT_TRUE(XGetClassHint(d, x, &hint));
  EXPECT_STREQ(hint.res_class, "ZynGraphWindow");
  XFree(hint.res_name);
  XFree(hint.res_class);
  std::vector<Atom> protocols = AtomProperty(d, x, "WM_PROTOCOLS");
  EXPECT_NE(std::find(protocols.begin(), protocols.end(), XInternAtom(d, "WM_DELETE_WINDOW", False)), protocols.end());
  std::vector<Atom> state = AtomProperty(d, x, "_NET_WM_STATE");
  EXPECT_NE(std::find(state.begin(), state.end(), XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_VERT", False)), state.end());
  EXPECT_NE(std::find(state.begin(), state.end(), XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_HORZ", False)), state.end());
  // No window manager runs here: the window itself has the full-screen size.
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(d, x, &attributes));
  EXPECT_EQ(attributes.width, 1024);
  EXPECT_EQ(attributes.height, 749);
  EXPECT_EQ(si::DescribeWindow(thread.Window()).clientHeight, 749);
  EXPECT_TRUE(Eventually([&] { return ShownAsDrawn(d, x, thread.Window()); }));  // black, as created
}

TEST(X11Host, ShownPixelsAreTheDrawnOnesAndTakeFewRequests) {
  XvfbServer server;
  ASSERT_TRUE(server.Running()) << "Xvfb could not be started";
  WindowThread thread(GraphWindow());
  win::HWND window = thread.Window();
  ASSERT_NE(window, nullptr);
  Display* d = server.Inspector();
  Window x = si::X11WindowOf(window);
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  ASSERT_TRUE(Eventually([&] { return Viewable(d, x) && ShownAsDrawn(d, x, window); }));

  // 15966 scattered pixels drawn from this thread while the window thread waits.
  si::X11PresentCounts before = si::PresentCounts();
  uint32_t seed = 12345;
  for (int i = 0; i < 15966; ++i) {
    seed = seed * 1103515245u + 12345u;
    int px = static_cast<int>((seed >> 8) % 400), py = static_cast<int>((seed >> 20) % 300);
    DrawPixel(px, py, RGB(seed & 0xFF, (seed >> 4) & 0xFF, 0x80 | (i & 0x7F)));
  }
  ASSERT_TRUE(Eventually([&] { return ShownAsDrawn(d, x, window); }));
  si::X11PresentCounts after = si::PresentCounts();
  EXPECT_GE(after.images - before.images, 1u);
  EXPECT_LT(after.requests - before.requests, 200u);
  EXPECT_EQ(si::ClientPixel(window, 5, 5), CanvasPixel(5, 5));

  // An exposure (XClearArea with exposures) is repainted from the canvas.
  int paints = si::DescribeWindow(window).paints;
  XClearArea(d, x, 50, 40, 120, 80, True);
  XFlush(d);
  ASSERT_TRUE(si::WaitForPaints(window, paints + 1, 10000));
  {
    std::lock_guard<std::mutex> guard(PaintLock);
    const win::RECT& r = PaintRectangles.back();
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right, 170);
    EXPECT_EQ(r.bottom, 120);
  }
  EXPECT_TRUE(Eventually([&] { return ShownAsDrawn(d, x, window); }));

  // A resize by someone else reaches the surface and repaints it.
  XResizeWindow(d, x, 300, 200);
  XFlush(d);
  ASSERT_TRUE(Eventually([&] { return si::DescribeWindow(window).clientWidth == 300; }));
  EXPECT_EQ(si::DescribeWindow(window).clientHeight, 200);
  EXPECT_EQ(si::ClientPixels(window).size(), 300u * 200u);
  EXPECT_TRUE(Eventually([&] { return ShownAsDrawn(d, x, window); }));
}

TEST(X11Host, CloseButtonDestroysWindowThenTellsTheProcedure) {
  XvfbServer server;
  ASSERT_TRUE(server.Running()) << "Xvfb could not be started";
  WindowThread thread(GraphWindow());
  win::HWND window = thread.Window();
  Display* d = server.Inspector();
  Window x = si::X11WindowOf(window);
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = x;
  close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, x, False, NoEventMask, &close);
  XFlush(d);
  ASSERT_TRUE(thread.WaitForEnd(10000));
  EXPECT_EQ(thread.LoopResult(), 0);
  std::vector<win::UINT> ending = LoggedMessages(WM_DESTROY, WM_SYSCOMMAND);
  std::erase_if(
      ending, [](win::UINT m) { return m != WM_SYSCOMMAND && m != WM_CLOSE && m != WM_DESTROY && m != WM_NCDESTROY; });
  EXPECT_EQ(ending, (std::vector<win::UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(Exists(d, x));
  EXPECT_FALSE(win::IsWindow(window));
}

TEST(X11Host, LosingTheConnectionDestroysTheWindowsButNotTheProcess) {
  XvfbServer server;
  ASSERT_TRUE(server.Running()) << "Xvfb could not be started";
  Display* d = server.Inspector();

  // The server drops the window's connection (as xkill does); the server stays.
  {
    WindowThread thread(GraphWindow());
    ASSERT_TRUE(si::WaitForFirstPaint(thread.Window(), 10000));
    XKillClient(d, si::X11WindowOf(thread.Window()));
    XSync(d, False);
    ASSERT_TRUE(thread.WaitForEnd(10000));
    EXPECT_EQ(thread.LoopResult(), 0);
    EXPECT_EQ(LoggedCount(WM_DESTROY), 1);
  }

  // The server itself goes away while this thread keeps drawing.
  ClearLog();
  WindowThread thread(GraphWindow());
  win::HWND window = thread.Window();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  std::atomic<bool> drawing{true};
  std::thread painter([&] {
    for (int i = 0; drawing; ++i) DrawPixel(i % 400, (i / 400) % 300, RGB(i, 0, 0));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  server.Kill();
  EXPECT_TRUE(thread.WaitForEnd(10000));
  drawing = false;
  painter.join();
  EXPECT_EQ(thread.LoopResult(), 0);
  EXPECT_EQ(LoggedCount(WM_DESTROY), 1);
  EXPECT_FALSE(win::IsWindow(window));
  // With no server, new windows fail; the metrics still answer.
  WindowThread after(GraphWindow());
  EXPECT_EQ(after.Window(), nullptr);
  EXPECT_EQ(win::GetSystemMetrics(SM_CXFRAME), 4);
}

}  // namespace
