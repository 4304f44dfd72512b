// The graph window and its thread through the memory display: opening and its
// failures, the black start, repaints from the bitmap, closing by the user and
// by CloseGraph, the child layout, and the input hooks.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/user/memory_display.h"
#include "runtime/text_stream.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;
namespace host = win::stand_in;

constexpr int Patience = 10000;  // milliseconds; only reached when something hangs

// The graphics interface's start-up on the chosen display, as the program's
// module initialisation runs it once.
void StartOn(void (*display)(const host::DisplayMetrics&)) {
  display(host::DisplayMetrics{});
  rtl::SysInitStdIO();
  graph::InitializeGraph();
}

int16_t Open(int16_t driver, int16_t mode) {
  graph::InitGraph(driver, mode, "");
  return graph::GraphResult();
}

// Destruction ran: the bitmap's device context is gone.
bool SurfacesReleased() {
  win::EnterCriticalSection(&graph::GraphDrawing);
  bool released = win::GetPixel(graph::BitmapDC, 0, 0) == CLR_INVALID;
  win::LeaveCriticalSection(&graph::GraphDrawing);
  return released;
}

// The off-screen bitmap's pixels inside a rectangle, read as the drawing
// operations do: under the drawing lock.
std::vector<win::COLORREF> BitmapPixels(const win::RECT& area) {
  std::vector<win::COLORREF> pixels;
  win::EnterCriticalSection(&graph::GraphDrawing);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) pixels.push_back(win::GetPixel(graph::BitmapDC, x, y));
  win::LeaveCriticalSection(&graph::GraphDrawing);
  return pixels;
}

std::vector<win::COLORREF> ClientPixels(const win::RECT& area) {
  std::vector<win::COLORREF> pixels;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) pixels.push_back(host::ClientPixel(graph::GraphWindow, x, y));
  return pixels;
}

size_t CountOf(const std::vector<win::COLORREF>& pixels, win::COLORREF colour) {
  size_t n = 0;
  for (win::COLORREF p : pixels) n += p == colour;
  return n;
}

std::atomic<int> creations{0};
std::atomic<win::DWORD> creationThread{0};
std::atomic<bool> creationHadSurfaces{false};
void RecordCreation() {
  ++creations;
  creationThread = win::GetCurrentThreadId();
  creationHadSurfaces = graph::BitmapDC != nullptr && graph::WinDC != nullptr && !graph::GraphRunning;
}

TEST(GraphWindowOpen, DetectedModeOpensMaximisedAndBlack) {
  StartOn(host::UseMemoryDisplay);  // 1024 x 768 screen, maximised client 1024 x 749
  graph::OnGraphWindowCreation = RecordCreation;
  ASSERT_EQ(Open(0, 0), graph::grOk);
  EXPECT_EQ(graph::IntCurrentMode, 246);
  EXPECT_TRUE(graph::IsGraphMode);
  EXPECT_TRUE(graph::GraphRunning);
  EXPECT_EQ(graph::ExtraStyle, static_cast<win::DWORD>(WS_MAXIMIZE));

  win::HWND window = host::FindTopLevelWindow("Graph window application");
  ASSERT_EQ(window, graph::GraphWindow);
  host::WindowFacts facts = host::DescribeWindow(window);
  EXPECT_EQ(facts.className, "ZynGraphWindow");
  EXPECT_EQ(facts.style, static_cast<win::DWORD>(WS_OVERLAPPEDWINDOW));
  EXPECT_TRUE(facts.visible);
  EXPECT_TRUE(facts.maximized);
  EXPECT_EQ(facts.threadId, graph::MessageThreadID);
  EXPECT_NE(facts.threadId, win::GetCurrentThreadId());
  EXPECT_GE(facts.paints, 1);

  EXPECT_EQ(creations, 1);
  EXPECT_EQ(creationThread, graph::MessageThreadID);
  EXPECT_TRUE(creationHadSurfaces);

  std::vector<win::COLORREF> client = host::ClientPixels(window);
  ASSERT_EQ(client.size(), static_cast<size_t>(facts.clientWidth) * facts.clientHeight);
  EXPECT_EQ(CountOf(client, 0), client.size());
  std::vector<win::COLORREF> bitmap = BitmapPixels({0, 0, graph::MaxX + 1, graph::MaxY + 1});
  EXPECT_EQ(bitmap.size(), 1024u * 749u);
  EXPECT_EQ(CountOf(bitmap, 0), bitmap.size());
  // One pixel beyond the bitmap is no pixel: it has exactly the mode's size.
  EXPECT_EQ(BitmapPixels({1024, 0, 1025, 1})[0], CLR_INVALID);
  EXPECT_EQ(BitmapPixels({0, 749, 1, 750})[0], CLR_INVALID);

  graph::CloseGraph();
}

TEST(GraphWindowOpen, FixedModeOpensAtDefaultPositionSizedByItsFrame) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(10, 257), graph::grOk);  // 640 x 480 x 256
  EXPECT_EQ(graph::ExtraStyle, 0u);
  host::WindowFacts facts = host::DescribeWindow(graph::GraphWindow);
  EXPECT_FALSE(facts.maximized);
  EXPECT_EQ(facts.caption, "Graph window application");
  EXPECT_EQ(facts.placement.right - facts.placement.left, 640 + 2 * 4);
  EXPECT_EQ(facts.placement.bottom - facts.placement.top, 480 + 2 * 4 + 19);
  EXPECT_EQ(facts.clientWidth, 640);
  EXPECT_EQ(facts.clientHeight, 480);
  EXPECT_EQ(CountOf(host::ClientPixels(graph::GraphWindow), 0), 640u * 480u);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(graph::Pal[i].Red, graph::DefaultColors[i].Red);
    EXPECT_EQ(graph::Pal[i].Blue, graph::DefaultColors[i].Blue);
  }
  graph::CloseGraph();
}

TEST(GraphWindowRepaint, CoverUncoverAndRestoreCopyExactlyTheBitmap) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(9, 2), graph::grOk);  // 640 x 480 x 16
  win::HWND window = graph::GraphWindow;
  for (int16_t x = 0; x < 640; x += 3) graph::PutPixel(x, static_cast<int16_t>(x % 480), 7);
  // Drawn into the bitmap only: the window shows it after a repaint, or never.
  graph::DrawToScreen = false;
  for (int16_t x = 0; x < 640; ++x) graph::PutPixel(x, 200, 14);
  graph::DrawToScreen = true;
  const win::RECT whole{0, 0, 640, 480};
  EXPECT_EQ(CountOf(ClientPixels({0, 200, 640, 201}), 0x54FCFC), 0u);

  const win::RECT covered{100, 150, 300, 260};
  host::CoverWindow(window, covered);
  EXPECT_EQ(CountOf(ClientPixels(covered), host::CoveredColour), 200u * 110u);
  int paints = host::DescribeWindow(window).paints;
  host::UncoverWindow(window, covered);
  ASSERT_TRUE(host::WaitForPaints(window, paints + 1, Patience));
  EXPECT_EQ(ClientPixels(covered), BitmapPixels(covered));
  EXPECT_EQ(CountOf(ClientPixels(covered), 0x54FCFC), 200u);  // the bitmap-only row, inside only
  EXPECT_EQ(CountOf(ClientPixels(whole), 0x54FCFC), 200u);
  EXPECT_EQ(CountOf(ClientPixels(whole), 0xA8A8A8), CountOf(BitmapPixels(whole), 0xA8A8A8));

  paints = host::DescribeWindow(window).paints;
  host::MinimizeWindow(window);
  host::RestoreWindow(window);
  ASSERT_TRUE(host::WaitForPaints(window, paints + 1, Patience));
  EXPECT_EQ(ClientPixels(whole), BitmapPixels(whole));
  EXPECT_EQ(CountOf(ClientPixels(whole), 0x54FCFC), 640u);
  graph::CloseGraph();
}

std::atomic<bool> slowCommandDone{false};
win::LRESULT SlowCommand(win::HWND, win::UINT, win::WPARAM, win::LPARAM) {
  usleep(300 * 1000);
  slowCommandDone = true;
  return 0;
}

TEST(GraphWindowClose, CloseGraphWaitsForTheThreadAndASecondCallReportsNoMode) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  // A slow message ahead of the teardown: the thread can only end after it.
  graph::CommandMessageHandler = SlowCommand;
  win::PostMessageA(window, WM_COMMAND, 0, 0);
  EXPECT_EQ(host::MessageCount(window, WM_DESTROY), 0);
  graph::CloseGraph();
  EXPECT_TRUE(slowCommandDone);
  EXPECT_FALSE(graph::GraphRunning);
  EXPECT_FALSE(graph::IsGraphMode);
  EXPECT_EQ(graph::MessageThreadHandle, nullptr);
  EXPECT_EQ(graph::MessageThreadID, 0u);
  EXPECT_EQ(graph::Pal, nullptr);
  EXPECT_EQ(graph::GraphResult(), graph::grOk);
  EXPECT_EQ(graph::GraphWindow, window);  // kept, as the registration is
  EXPECT_TRUE(graph::WinRegistered);
  EXPECT_TRUE(host::WaitForDestruction(window, Patience));  // the windows go with their thread

  graph::CloseGraph();
  EXPECT_EQ(graph::GraphResult(), graph::grNoInitGraph);
}

TEST(GraphWindowClose, CloseButtonEndsTheThreadAndLaterDrawingDoesNothing) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  win::HANDLE thread = graph::MessageThreadHandle;
  host::PressCloseButton(window);
  ASSERT_EQ(win::WaitForSingleObject(thread, Patience), static_cast<win::DWORD>(WAIT_OBJECT_0));
  win::DWORD code = STILL_ACTIVE;
  win::GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(graph::GraphRunning);
  EXPECT_TRUE(graph::IsGraphMode);
  EXPECT_TRUE(host::WaitForDestruction(window, Patience));

  // The device contexts are gone; drawing reaches none of them and makes no pen.
  EXPECT_TRUE(SurfacesReleased());
  graph::PutPixel(5, 5, 15);
  graph::HLine(0, 600, 10);
  graph::VLine(3, 0, 400);
  graph::OutTextXY(0, 0, "late");
  for (win::HPEN pen : graph::Pens) EXPECT_EQ(pen, nullptr);
  for (win::HBITMAP glyph : graph::BitmapFontHorizonCache) EXPECT_EQ(glyph, nullptr);
  EXPECT_EQ(graph::GraphResult(), graph::grOk);
  graph::GetPixel(5, 5);
  EXPECT_EQ(graph::GraphResult(), graph::grError);

  // CloseGraph still goes through its steps on the ended thread.
  graph::CloseGraph();
  EXPECT_FALSE(graph::IsGraphMode);
  EXPECT_EQ(graph::GraphResult(), graph::grOk);
  graph::CloseGraph();
  EXPECT_EQ(graph::GraphResult(), graph::grNoInitGraph);
}

TEST(GraphWindowClose, DrawingWhileTheUserClosesTheWindowStaysHarmless) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  win::HANDLE thread = graph::MessageThreadHandle;
  bool closed = false;
  win::DWORD closerId = 0;
  auto closer = [](win::LPVOID parameter) -> win::DWORD {
    usleep(20 * 1000);
    host::PressCloseButton(*static_cast<win::HWND*>(parameter));
    return 0;
  };
  win::HANDLE closing = win::CreateThread(nullptr, 0, closer, &window, 0, &closerId);
  ASSERT_NE(closing, nullptr);
  // Draw until well after the window has gone, across the moment it goes.
  int afterEnd = 0;
  for (uint16_t i = 0; afterEnd < 200; ++i) {
    graph::PutPixel(static_cast<int16_t>(i % 640), static_cast<int16_t>(i % 480), static_cast<uint16_t>(i % 16));
    graph::HLine(0, 300, static_cast<int16_t>(i % 480));
    graph::OutTextXY(10, 10, "x");
    if (!closed && win::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) closed = true;
    if (closed) ++afterEnd;
  }
  win::WaitForSingleObject(closing, INFINITE);
  win::CloseHandle(closing);
  EXPECT_FALSE(graph::GraphRunning);
  graph::CloseGraph();
  EXPECT_FALSE(graph::IsGraphMode);
}

TEST(GraphWindowRegistration, ClassesAreRegisteredOncePerProcess) {
  auto r = RunInChild([] {
    StartOn(host::UseMemoryDisplay);
    std::printf("first=%d ", Open(10, 257));
    graph::CloseGraph();
    std::printf("registered=%d ", graph::WinRegistered);
    std::printf("second=%d ", Open(10, 257));
    std::printf("class=%s ", host::DescribeWindow(graph::GraphWindow).className.c_str());
    graph::CloseGraph();
    // Registering again is what a second start must not do: the class exists.
    graph::WinRegistered = false;
    int16_t again = Open(10, 257);
    std::printf("again=%d running=%d mode=%d", again, graph::GraphRunning, graph::IsGraphMode);
    std::fflush(stdout);
  });
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "first=0 registered=1 second=0 class=ZynGraphWindow again=-11 running=0 mode=0");
  EXPECT_EQ(r.err, "Error: Window registration failed\n");
}

TEST(GraphWindowFailure, NoDisplayFailsCreationWithGeneralError) {
  auto r = RunInChild([] {
    StartOn(host::UseNoDisplay);
    int16_t result = Open(0, 0);
    std::printf("result=%d mode=%d registered=%d ", result, graph::IsGraphMode, graph::WinRegistered);
    graph::CloseGraph();
    std::printf("close=%d ", graph::GraphResult());
    // A second try releases what the failed one left and fails the same way.
    std::printf("again=%d", Open(0, 0));
    std::fflush(stdout);
  });
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "result=-11 mode=0 registered=1 close=-1 again=-11");
  EXPECT_EQ(r.err, "Error: Window creation failed\nError: Window creation failed\n");
}

TEST(GraphWindowFailure, ThreadThatCannotStartGivesGeneralError) {
  auto r = RunInChild([] {
    StartOn(host::UseMemoryDisplay);
    // No new thread for this process: as root, only after giving up root.
    if (geteuid() == 0 && setuid(65534) != 0) std::printf("setuid failed ");
    rlimit none{0, 0};
    setrlimit(RLIMIT_NPROC, &none);
    int16_t driver = 0, mode = 0;
    graph::InitGraph(driver, mode, "");
    std::printf("result=%d mode=%d handle=%d", graph::GraphResult(), graph::IsGraphMode,
                graph::MessageThreadHandle != nullptr);
    std::fflush(stdout);
  });
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "result=-11 mode=0 handle=0");
}

TEST(GraphWindowOpen, ChildLayoutPutsTheSurfaceInsideAFrameWindow) {
  StartOn(host::UseMemoryDisplay);
  graph::UseChildWindow = true;
  graph::ChildOffset = {10, 20, 30, 40};
  ASSERT_EQ(Open(10, 257), graph::grOk);
  ASSERT_NE(graph::ParentWindow, nullptr);
  ASSERT_NE(graph::GraphWindow, graph::ParentWindow);
  host::WindowFacts parent = host::DescribeWindow(graph::ParentWindow);
  host::WindowFacts child = host::DescribeWindow(graph::GraphWindow);
  EXPECT_EQ(parent.className, "ZynGraphWindowMain");
  EXPECT_EQ(parent.caption, "Graph window application");
  EXPECT_EQ(parent.style, static_cast<win::DWORD>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
  EXPECT_EQ(parent.placement.right - parent.placement.left, 640 + 10 + 30 + 8);
  EXPECT_EQ(parent.placement.bottom - parent.placement.top, 480 + 20 + 40 + 8 + 19);
  EXPECT_EQ(child.className, "ZynGraphWindowChild");
  EXPECT_EQ(child.parent, graph::ParentWindow);
  EXPECT_EQ(child.style, static_cast<win::DWORD>(WS_CHILD));
  EXPECT_EQ(child.placement.left, 10);
  EXPECT_EQ(child.placement.top, 20);
  EXPECT_EQ(child.clientWidth, 640);
  EXPECT_EQ(child.clientHeight, 480);
  graph::PutPixel(1, 2, 15);
  EXPECT_EQ(host::ClientPixel(graph::GraphWindow, 1, 2), 0xFCFCFCu);

  win::HWND parentWindow = graph::ParentWindow, childWindow = graph::GraphWindow;
  graph::CloseGraph();
  EXPECT_TRUE(SurfacesReleased());
  EXPECT_TRUE(host::WaitForDestruction(childWindow, Patience));
  EXPECT_TRUE(host::WaitForDestruction(parentWindow, Patience));
}

TEST(GraphWindowOpen, SettingAModeAgainEndsThePreviousWindowFirst) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND first = graph::GraphWindow;
  ASSERT_EQ(Open(10, 259), graph::grOk);  // no CloseGraph in between
  EXPECT_NE(graph::GraphWindow, first);
  EXPECT_TRUE(host::WaitForDestruction(first, Patience));
  EXPECT_EQ(host::DescribeWindow(graph::GraphWindow).clientWidth, 800);
  graph::PutPixel(799, 599, 15);
  EXPECT_EQ(host::ClientPixel(graph::GraphWindow, 799, 599), 0xFCFCFCu);
  graph::CloseGraph();
  EXPECT_FALSE(graph::IsGraphMode);
}

struct SeenMessage {
  win::HWND window;
  win::UINT message;
  win::WPARAM wParam;
  win::LPARAM lParam;
};
std::vector<SeenMessage> seen;

win::LRESULT Recording(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  seen.push_back({window, message, wParam, lParam});
  return 1000 + static_cast<win::LRESULT>(message);
}

TEST(GraphWindowHooks, InputMessagesGoToTheirHookOrNowhere) {
  host::UseMemoryDisplay();
  win::HWND window = reinterpret_cast<win::HWND>(0x1234);
  const win::UINT forwarded[] = {WM_NOTIFY, WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_COMMAND, 513, 516, 519, 521};
  for (win::UINT message : forwarded) EXPECT_EQ(graph::WindowProcGraph(window, message, 7, -9), 0) << message;

  graph::CharMessageHandler = Recording;
  graph::MouseMessageHandler = Recording;
  graph::CommandMessageHandler = Recording;
  graph::NotifyMessageHandler = Recording;
  for (win::UINT message : forwarded)
    EXPECT_EQ(graph::WindowProcGraph(window, message, 7, -9), 1000 + static_cast<win::LRESULT>(message)) << message;
  ASSERT_EQ(seen.size(), std::size(forwarded));
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].window, window);
    EXPECT_EQ(seen[i].message, forwarded[i]);
    EXPECT_EQ(seen[i].wParam, 7u);
    EXPECT_EQ(seen[i].lParam, -9);
  }

  // Mouse movement and the neighbours of the button range are not input the
  // hooks see; neither are mouse buttons on the frame window.
  seen.clear();
  graph::WindowProcGraph(window, WM_MOUSEMOVE, 0, 0);
  graph::WindowProcGraph(window, 522, 0, 0);
  graph::WindowProcGraph(window, 0x0103, 0, 0);  // WM_DEADCHAR
  graph::WindowProcParent(window, 513, 0, 0);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(graph::WindowProcParent(window, WM_CHAR, 65, 0), 1000 + WM_CHAR);
  EXPECT_EQ(graph::WindowProcParent(window, WM_COMMAND, 1, 2), 1000 + WM_COMMAND);
  EXPECT_EQ(graph::WindowProcParent(window, WM_NOTIFY, 3, 4), 1000 + WM_NOTIFY);
  EXPECT_EQ(seen.size(), 3u);
}

TEST(GraphWindowHooks, KeysAndClicksInTheOpenWindowChangeNothing) {
  StartOn(host::UseMemoryDisplay);
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  graph::PutPixel(4, 4, 15);
  const win::UINT input[] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP, 513, 514, 516, 517};
  for (win::UINT message : input) win::PostMessageA(window, message, 'A', 0);
  // A repaint request queued behind them shows when they have all been handled.
  int paints = host::DescribeWindow(window).paints;
  host::UncoverWindow(window, {0, 0, 8, 8});
  ASSERT_TRUE(host::WaitForPaints(window, paints + 1, Patience));
  // (WM_CHAR comes twice: once posted, once made from the key press.)
  for (win::UINT message : input) EXPECT_GE(host::MessageCount(window, message), 1) << message;
  EXPECT_TRUE(graph::GraphRunning);
  EXPECT_EQ(host::ClientPixel(window, 4, 4), 0xFCFCFCu);
  EXPECT_EQ(CountOf(host::ClientPixels(window), 0), 640u * 480u - 1);
  graph::CloseGraph();
}

}  // namespace
