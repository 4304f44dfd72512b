// The driver's mode table on screens of several sizes, and the graph window and
// its thread through the memory display.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/testing/memory_display.h"
#include "runtime/system.h"
#include "runtime/text_stream.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;
namespace host = win::stand_in;

constexpr int Patience = 10000;  // milliseconds; only reached when something hangs

// Frames of 4 and a caption of 19: the largest window is (width - 8) x (height - 27).
host::DisplayMetrics Screen(int width, int height, int fullWidth, int fullHeight) {
  return {width, height, 4, 4, 19, fullWidth, fullHeight};
}

// The program's start-up (by default 1024 x 768, a maximised client 1024 x 749); the modes registered.
std::vector<graph::PModeInfo> StartOn(const host::DisplayMetrics& metrics = {}, bool display = true) {
  display ? host::UseMemoryDisplay(metrics) : host::UseNoDisplay(metrics);
  rtl::SysInitStdIO();
  graph::Driver = graph::Win32GUI;
  graph::InitializeGraph();
  std::vector<graph::PModeInfo> list;
  for (graph::PModeInfo m = graph::ModeList; m != nullptr; m = m->Next) list.push_back(m);
  return list;
}

// (MaxX, MaxY, mode number) of the 256-colour list, in its order.
std::vector<std::vector<int>> DeepColourList() {
  std::vector<std::vector<int>> nodes;
  for (graph::PModeInfo m = graph::NewModeList.Modes[15]; m != nullptr; m = m->Next)
    nodes.push_back({m->MaxX, m->MaxY, m->ModeNumber});
  return nodes;
}

TEST(ModeTable, RegistersWhatFitsThenTheWindowSizedModes) {
  struct Case {
    host::DisplayMetrics screen;
    std::vector<int> modes;
    uint16_t largestX, largestY, fullX, fullY;  // rows 240/241 and 245/246
  } cases[] = {
      // 1016 x 741: 800 x 600 fits, 1024 x 768 does not.
      {Screen(1024, 768, 1024, 749), {2, 0, 1, 256, 257, 258, 259, 240, 241, 245, 246}, 1015, 740, 1023, 748},
      // Narrower than 640, however tall: only the window-sized rows.
      {Screen(600, 800, 600, 780), {240, 241, 245, 246}, 591, 772, 599, 779},
      // 792 x 433: the 480-line rows are left out.
      {Screen(800, 460, 800, 441), {0, 1, 256, 240, 241, 245, 246}, 791, 432, 799, 440},
      // 69992 x 5: the sizes wrap to 16 bits.
      {Screen(70000, 32, 70000, 70000), {240, 241, 245, 246}, 69991 & 0xFFFF, 4, 69999 & 0xFFFF, 69999 & 0xFFFF},
      // Frames larger than the screen (-8 x -27) are compared signed: nothing fixed fits.
      {Screen(0, 0, 0, 0), {240, 241, 245, 246}, 65527, 65508, 65535, 65535},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.screen.screenWidth);
    std::vector<int> modes;
    for (graph::PModeInfo m : StartOn(c.screen)) {
      modes.push_back(m->ModeNumber);
      if (m->ModeNumber < 240 || m->ModeNumber > 246) continue;
      bool full = m->ModeNumber >= 245;
      EXPECT_EQ(m->MaxX, full ? c.fullX : c.largestX) << m->ModeNumber;
      EXPECT_EQ(m->MaxY, full ? c.fullY : c.largestY) << m->ModeNumber;
    }
    EXPECT_EQ(modes, c.modes);
    graph::GraphExitProc();  // releases the lists, as at the end of a run
  }

  // Names are cut to the record's 18 characters; a second query registers nothing.
  std::vector<graph::PModeInfo> list = StartOn(cases[0].screen);
  auto name = [&](int i) { return std::string(list[i]->ModeName.chars, list[i]->ModeName.length); };
  EXPECT_EQ(name(0), "640 x 480 x 16 Win");
  EXPECT_EQ(name(3), "640 x 400 x 256 Wi");
  EXPECT_EQ(name(7), "Largest Window x 1");
  EXPECT_EQ(name(10), "Maximized Window x");
  std::vector<std::vector<int>> deep = DeepColourList();
  EXPECT_EQ(std::vector(deep.end() - 2, deep.end()),
            (std::vector<std::vector<int>>{{1015, 740, 241}, {1023, 748, 246}}));
  EXPECT_EQ(graph::QueryAdapterInfo(), list[0]);
  std::vector<graph::PModeInfo> again;
  for (graph::PModeInfo m = graph::ModeList; m != nullptr; m = m->Next) again.push_back(m);
  EXPECT_EQ(again, list);
}

TEST(ModeTable, MaximisedSizeEqualToLargestReplacesItInTheColourList) {
  EXPECT_EQ(StartOn(Screen(1024, 768, 1016, 741)).size(), 11u);  // all kept in registration order
  EXPECT_EQ(DeepColourList(),
            (std::vector<std::vector<int>>{{639, 399, 256}, {639, 479, 257}, {799, 599, 259}, {1015, 740, 246}}));
  // Detection takes the widest 256-colour mode: the maximised window.
  int16_t driver = 0, mode = 0;
  graph::InternDetectGraph(driver, mode, true);
  EXPECT_EQ(driver, 15);
  EXPECT_EQ(mode, 4);
}

int16_t Open(int16_t driver, int16_t mode) {
  graph::InitGraph(driver, mode, "");
  return graph::GraphResult();
}

// The bitmap's pixels read under the drawing lock; CLR_INVALID beyond it or once it is gone.
std::vector<win::COLORREF> BitmapPixels(const win::RECT& area) {
  std::vector<win::COLORREF> pixels;
  win::EnterCriticalSection(&graph::GraphDrawing);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) pixels.push_back(win::GetPixel(graph::BitmapDC, x, y));
  win::LeaveCriticalSection(&graph::GraphDrawing);
  return pixels;
}

bool Eventually(const std::function<bool()>& condition) {
  for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Patience);
       std::chrono::steady_clock::now() < end; usleep(2000))
    if (condition()) return true;
  return condition();
}

size_t CountOf(const std::vector<win::COLORREF>& pixels, win::COLORREF colour) {
  return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), colour));
}

TEST(GraphWindowOpen, BlackBitmapAndClientMaximisedOnlyInTheMaximisedModes) {
  struct Case {
    int16_t driver, mode, opened;
    bool maximised;
    int width, height;
  } cases[] = {{0, 0, 246, true, 1024, 749}, {10, 245, 245, true, 1024, 749}, {10, 257, 257, false, 640, 480}};
  StartOn();
  win::HWND previous = nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opened);
    // No CloseGraph in between: each start ends the previous window first.
    ASSERT_EQ(Open(c.driver, c.mode), graph::grOk);
    EXPECT_TRUE(previous == nullptr || host::WaitForDestruction(previous, Patience));
    previous = graph::GraphWindow;
    EXPECT_EQ(graph::IntCurrentMode, c.opened);
    host::WindowFacts facts = host::DescribeWindow(graph::GraphWindow);
    EXPECT_EQ(facts.maximized, c.maximised);
    EXPECT_TRUE(facts.threadId == graph::MessageThreadID && facts.threadId != win::GetCurrentThreadId());
    EXPECT_EQ(std::make_pair(facts.clientWidth, facts.clientHeight), std::make_pair(c.width, c.height));
    EXPECT_EQ(CountOf(host::ClientPixels(graph::GraphWindow), 0), static_cast<size_t>(c.width) * c.height);
    // The bitmap is black and has exactly the mode's size.
    EXPECT_EQ(CountOf(BitmapPixels({0, 0, c.width + 1, c.height + 1}), 0), static_cast<size_t>(c.width) * c.height);
    EXPECT_EQ(CountOf(BitmapPixels({0, 0, c.width + 1, c.height + 1}), CLR_INVALID), c.width + c.height + 1u);
  }
  graph::CloseGraph();
}

TEST(GraphWindowRepaint, UncoveringCopiesExactlyTheDamagedPartOfTheBitmap) {
  StartOn();
  ASSERT_EQ(Open(9, 2), graph::grOk);  // 640 x 480 x 16
  win::HWND window = graph::GraphWindow;
  for (int16_t x = 0; x < 640; x += 3) graph::Hooks.PutPixel(x, static_cast<int16_t>(x % 480), 7);
  // Once the window thread has shown those (two presents later), a row drawn
  // into the bitmap only shows just where the window is repainted.
  int presents = host::MessageCount(window, WM_TIMER);
  ASSERT_TRUE(Eventually([&] { return host::MessageCount(window, WM_TIMER) >= presents + 2; }));
  graph::DrawToScreen = false;
  for (int16_t x = 0; x < 640; ++x) graph::Hooks.PutPixel(x, 200, 14);
  graph::DrawToScreen = true;
  std::vector<win::COLORREF> expected = BitmapPixels({0, 0, 640, 480});
  for (int x = 0; x < 640; ++x) expected[200 * 640 + x] = x >= 100 && x < 300 ? 0x54FCFC : 0;

  const win::RECT covered{100, 150, 300, 260};
  host::CoverWindow(window, covered);
  EXPECT_EQ(CountOf(host::ClientPixels(window), host::CoveredColour), 200u * 110u);
  int paints = host::DescribeWindow(window).paints;
  host::UncoverWindow(window, covered);
  ASSERT_TRUE(host::WaitForPaints(window, paints + 1, Patience));
  EXPECT_EQ(host::ClientPixels(window), expected);
  graph::CloseGraph();
}

TEST(GraphWindowPresent, TheWindowThreadShowsTheDrawnAreaFromTheBitmapWithinFrames) {
  StartOn();
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  auto shown = [&](int x, int y) { return host::ClientPixel(window, x, y); };
  constexpr win::COLORREF Scribble = 0x0000FF;
  // The window's device context loses what the program's thread drew there
  // (as a window DC of another thread may until that thread runs): the
  // window thread still shows it, copied from the bitmap.
  win::EnterCriticalSection(&graph::GraphDrawing);
  graph::Hooks.PutPixel(20, 30, 15);
  graph::Hooks.HLine(100, 200, 40);
  graph::Hooks.OutTextXY(300, 50, "A");
  win::SetPixelV(graph::WinDC, 20, 30, Scribble);
  win::SetPixelV(graph::WinDC, 150, 40, Scribble);
  win::SetPixelV(graph::WinDC, 300, 50, Scribble);  // in the glyph's cell, background
  win::LeaveCriticalSection(&graph::GraphDrawing);
  std::vector<win::COLORREF> drawn = {BitmapPixels({20, 30, 21, 31})[0], BitmapPixels({150, 40, 151, 41})[0],
                                      BitmapPixels({300, 50, 301, 51})[0]};
  EXPECT_TRUE(drawn[0] != 0 && drawn[1] != 0 && drawn[2] == 0);
  EXPECT_TRUE(Eventually([&] {
    return std::vector<win::COLORREF>{shown(20, 30), shown(150, 40), shown(300, 50)} == drawn;
  }));
  // Only the drawn area is copied: a pixel outside it stays as it is.
  int presents = host::MessageCount(window, WM_TIMER);
  win::EnterCriticalSection(&graph::GraphDrawing);
  win::SetPixelV(graph::WinDC, 500, 400, Scribble);
  win::LeaveCriticalSection(&graph::GraphDrawing);
  ASSERT_TRUE(Eventually([&] { return host::MessageCount(window, WM_TIMER) >= presents + 2; }));
  EXPECT_EQ(shown(500, 400), Scribble);
  graph::CloseGraph();
}

double ThreadCpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

double SinceMilliseconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void SlowCreation() {
  usleep(300 * 1000);
}

win::LRESULT StuckCommand(win::HWND, win::UINT, win::WPARAM, win::LPARAM) {
  sleep(30);
  return 0;
}

TEST(GraphWindowWaits, FirstPaintWaitGivesTheProcessorUpAndAnErrorExitWaitsOnlyBrieflyForAStuckThread) {
  auto run = RunInChild([] {
    StartOn();
    graph::OnGraphWindowCreation = SlowCreation;
    double cpu = ThreadCpuMilliseconds();
    auto start = std::chrono::steady_clock::now();
    int16_t result = Open(10, 257);
    std::printf("open=%d waited=%d busy=%d ", result, SinceMilliseconds(start) >= 300,
                ThreadCpuMilliseconds() - cpu > 100);

    // A window thread that does not come back (a display that stopped
    // answering): an exit through a run-time error goes on after a short wait.
    graph::CommandMessageHandler = StuckCommand;
    win::PostMessageA(graph::GraphWindow, WM_COMMAND, 0, 0);
    rtl::ErrorCode = 217;
    start = std::chrono::steady_clock::now();
    graph::CloseGraph();
    double closing = SinceMilliseconds(start);
    std::printf("close=%d mode=%d handle=%d", closing >= 400 && closing < 1500, graph::IsGraphMode,
                graph::MessageThreadHandle != nullptr);
    std::fflush(stdout);
  });
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "open=0 waited=1 busy=0 close=1 mode=0 handle=1");
}

std::atomic<bool> slowCommandDone{false};
win::LRESULT SlowCommand(win::HWND, win::UINT, win::WPARAM, win::LPARAM) {
  usleep(300 * 1000);
  slowCommandDone = true;
  return 0;
}

TEST(GraphWindowClose, CloseGraphWaitsForTheThreadASecondCallReportsNoModeAndClassesStayRegistered) {
  StartOn();
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  // A slow message ahead of the teardown: the thread can only end after it.
  graph::CommandMessageHandler = SlowCommand;
  win::PostMessageA(window, WM_COMMAND, 0, 0);
  graph::CloseGraph();
  EXPECT_TRUE(slowCommandDone);
  EXPECT_TRUE(!graph::GraphRunning && !graph::IsGraphMode && graph::MessageThreadHandle == nullptr);
  EXPECT_EQ(graph::GraphResult(), graph::grOk);
  EXPECT_TRUE(host::WaitForDestruction(window, Patience));
  graph::CloseGraph();
  EXPECT_EQ(graph::GraphResult(), graph::grNoInitGraph);

  // The classes stay registered: registering them again would fail.
  EXPECT_EQ(Open(10, 257), graph::grOk);
  graph::CloseGraph();
  graph::WinRegistered = false;
  EXPECT_EQ(Open(10, 257), graph::grError);
  graph::WinRegistered = true;
}

TEST(GraphWindowClose, CloseButtonEndsTheThreadAndLaterDrawingDoesNothing) {
  StartOn();
  ASSERT_EQ(Open(10, 257), graph::grOk);
  win::HWND window = graph::GraphWindow;
  host::PressCloseButton(window);
  ASSERT_EQ(win::WaitForSingleObject(graph::MessageThreadHandle, Patience), static_cast<win::DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(!graph::GraphRunning && graph::IsGraphMode);
  EXPECT_TRUE(host::WaitForDestruction(window, Patience));

  // The device contexts are gone; drawing reaches none of them and makes no pen or glyph.
  EXPECT_EQ(BitmapPixels({0, 0, 1, 1})[0], CLR_INVALID);
  graph::Hooks.PutPixel(5, 5, 15);
  graph::Hooks.HLine(0, 600, 10);
  graph::Hooks.VLine(3, 0, 400);
  graph::Hooks.OutTextXY(0, 0, "late");
  EXPECT_EQ(std::count(std::begin(graph::Pens), std::end(graph::Pens), nullptr), 16);
  EXPECT_EQ(graph::BitmapFontHorizonCache['l'], nullptr);
  EXPECT_EQ(graph::GraphResult(), graph::grOk);
  graph::Hooks.GetPixel(5, 5);
  EXPECT_EQ(graph::GraphResult(), graph::grError);
  // CloseGraph still goes through its steps on the ended thread.
  graph::CloseGraph();
  EXPECT_FALSE(graph::IsGraphMode);
  EXPECT_EQ(graph::GraphResult(), graph::grOk);
}

TEST(GraphWindowFailure, NoWindowOrNoThreadGivesGeneralError) {
  auto noWindow = RunInChild([] {
    StartOn({}, false);
    int16_t result = Open(0, 0);
    std::printf("result=%d mode=%d ", result, graph::IsGraphMode);
    graph::CloseGraph();
    std::printf("close=%d", graph::GraphResult());
    std::fflush(stdout);
  });
  EXPECT_EQ(noWindow.exitCode, 0) << noWindow.err;
  EXPECT_EQ(noWindow.out, "result=-11 mode=0 close=-1");
  EXPECT_EQ(noWindow.err, "Error: Window creation failed\n");

  auto noThread = RunInChild([] {
    StartOn();
    // No new thread for this process: as root, only after giving up root.
    if (geteuid() == 0 && setuid(65534) != 0) std::printf("setuid failed ");
    rlimit none{0, 0};
    setrlimit(RLIMIT_NPROC, &none);
    int16_t result = Open(0, 0);
    std::printf("result=%d mode=%d handle=%d", result, graph::IsGraphMode, graph::MessageThreadHandle != nullptr);
    std::fflush(stdout);
  });
  EXPECT_EQ(noThread.exitCode, 0) << noThread.err;
  EXPECT_EQ(noThread.out, "result=-11 mode=0 handle=0");
}

}  // namespace
