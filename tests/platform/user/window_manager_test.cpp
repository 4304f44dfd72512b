// The window manager on the memory host: classes and creation, placement, the
// order of messages, the paint cycle, the ways a window ends, other threads
// working while the window's loop runs, and running without a display.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>

#include "tests/platform/user/window_fixture.h"
#include "tests/support/child_process.h"

namespace {

using namespace window_tests;

constexpr win::COLORREF Blue = RGB(0, 0, 255), Red = RGB(255, 0, 0);

TEST(WindowCreation, ClassesOnceCreationMessagesAndPlacementFromStyleAndMetrics) {
  StartClean([] { si::UseMemoryDisplay({800, 600, 3, 5, 20, 790, 570}); });
  // Class names are case-insensitive and taken once per process.
  EXPECT_NE(RegisterTestClass("ZynGraphWindow"), 0);
  EXPECT_TRUE(!RegisterTestClass("zyngraphWINDOW") && win::GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
  EXPECT_NE(RegisterTestClass("ZynGraphWindowMain"), 0);
  EXPECT_TRUE(!win::CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr) &&
              win::GetLastError() == ERROR_CANNOT_FIND_WND_CLASS);

  // WM_NCCREATE, then WM_CREATE with the creation record, before CreateWindowExA returns.
  int parameter = 0;
  WindowRequest request{.className = "ZYNGRAPHWINDOW"};  // outlives the creation record's name
  win::HWND window = CreateTestWindow(request, nullptr, &parameter);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(si::DescribeWindow(window).className, "ZynGraphWindow");
  EXPECT_EQ(Logged({WM_NCCREATE, WM_CREATE}, window), (Messages{WM_NCCREATE, WM_CREATE}));
  EXPECT_EQ(creation.lpCreateParams, &parameter);
  EXPECT_STREQ(creation.lpszName, "Test window");
  EXPECT_TRUE(creation.cx == 208 && creation.cy == 127 && creation.style == WS_OVERLAPPEDWINDOW);

  // -1 from WM_CREATE: no window, and what was made is destroyed again.
  ClearLog();
  CreateResult = -1;
  EXPECT_EQ(CreateTestWindow({.caption = "Refused"}), nullptr);
  EXPECT_EQ(Logged(), (Messages{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(win::IsWindow(Log()[1].window));

  // The metrics are the host's; the client area is what is left inside the frame.
  CreateResult = 0;
  const int metrics[][2] = {{SM_CXSCREEN, 800}, {SM_CYSCREEN, 600},     {SM_CXFRAME, 3},        {SM_CYFRAME, 5},
                            {SM_CYCAPTION, 20}, {SM_CXFULLSCREEN, 790}, {SM_CYFULLSCREEN, 570}, {12345, 0}};
  for (auto [index, value] : metrics) EXPECT_EQ(win::GetSystemMetrics(index), value) << index;

  si::WindowFacts facts = si::DescribeWindow(CreateTestWindow({.width = 206, .height = 130}));
  EXPECT_TRUE(facts.clientWidth == 200 && facts.clientHeight == 100 && !facts.maximized);
  // Created maximised: the full-screen client size, whatever size was asked for.
  win::HWND maximized = CreateTestWindow({.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, .width = 206, .height = 130});
  facts = si::DescribeWindow(maximized);
  EXPECT_TRUE(facts.maximized && facts.clientWidth == 790 && facts.clientHeight == 570);
  EXPECT_EQ(si::ClientPixels(maximized).size(), 790u * 570u);
  // A child has the client area asked for, placed in its parent, and is not top-level.
  facts =
      si::DescribeWindow(CreateTestWindow({.style = WS_CHILD, .x = 10, .y = 20, .width = 64, .height = 32}, maximized));
  EXPECT_TRUE(facts.parent == maximized && facts.clientWidth == 64 && facts.clientHeight == 32);
  EXPECT_TRUE(facts.placement.left == 10 && facts.placement.top == 20 && si::FindTopLevelWindow() == maximized);
  EXPECT_TRUE(!CreateTestWindow({.style = WS_CHILD}) && win::GetLastError() == ERROR_TLW_WITH_WSCHILD);
}

TEST(MessageOrder, SentThenPostedThenPaintThenQuitAndPaintOnlyWithSomethingToPaint) {
  StartClean();
  win::HWND window = CreateTestWindow();
  win::InvalidateRect(window, nullptr, TRUE);
  EXPECT_EQ(Settle(), (Messages{WM_QUIT}));  // hidden: not painted
  win::ShowWindow(window, SW_SHOW);          // a non-empty update region, no paint yet
  win::PostQuitMessage(4);                   // asked first, handed out last
  ASSERT_TRUE(win::PostMessageA(window, WM_USER + 1, 0, 0));
  ASSERT_TRUE(win::PostMessageA(window, WM_USER + 2, 0, 0));
  win::DWORD self = win::GetCurrentThreadId();
  std::thread sender([&] { EXPECT_EQ(win::SendMessageA(window, WM_USER + 10, 0, 0), 0); });
  ASSERT_TRUE(Eventually([&] { return si::QueueOfThread(self).sent == 1; }));
  ClearLog();
  win::WPARAM quitCode = 0;
  EXPECT_EQ(Drain(&quitCode), (Messages{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_QUIT}));
  EXPECT_EQ(quitCode, 4u);
  sender.join();
  // The sent message ran before anything was handed out; painting erased once.
  EXPECT_EQ(Logged({WM_USER + 1, WM_USER + 2, WM_USER + 10, WM_PAINT, WM_ERASEBKGND}),
            (Messages{WM_USER + 10, WM_USER + 1, WM_USER + 2, WM_PAINT, WM_ERASEBKGND}));
  EXPECT_EQ(Settle(), (Messages{WM_QUIT}));  // painted once: validated

  // A procedure passing WM_PAINT to DefWindowProcA is validated too.
  PaintFromCanvas = false;
  win::RECT corner{0, 0, 5, 5};
  win::InvalidateRect(window, &corner, FALSE);
  EXPECT_EQ(Settle(), (Messages{WM_PAINT, WM_QUIT}));
  EXPECT_FALSE(win::GetUpdateRect(window, nullptr, FALSE));
  // Minimised windows are not painted; restoring paints them.
  win::ShowWindow(window, SW_MINIMIZE);
  win::InvalidateRect(window, nullptr, FALSE);
  EXPECT_EQ(Settle(), (Messages{WM_QUIT}));
  win::ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(Settle(), (Messages{WM_PAINT, WM_QUIT}));
}

TEST(MessageOrder, ThreadMessagesFiltersAndBadArguments) {
  StartClean();
  win::HWND first = CreateTestWindow(), second = CreateTestWindow();
  // Thread messages are handed out with no window and not dispatched.
  ASSERT_TRUE(win::PostThreadMessageA(win::GetCurrentThreadId(), WM_USER + 5, 7, 8));
  win::MSG message;
  ASSERT_EQ(win::GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_TRUE(message.hwnd == nullptr && message.message == WM_USER + 5 && message.wParam == 7 && message.lParam == 8);
  EXPECT_EQ(win::DispatchMessageA(&message), 0);
  EXPECT_EQ(Logged({WM_USER + 5}).size(), 0u);
  // WM_QUIT posted as a thread message ends the loop in its turn, with its
  // code; what was posted after it waits for the next loop.
  ASSERT_TRUE(win::PostMessageA(nullptr, WM_USER + 1, 0, 0));  // no window: the calling thread
  win::PostThreadMessageA(win::GetCurrentThreadId(), WM_QUIT, 3, 0);
  win::PostMessageA(first, WM_USER + 2, 0, 0);
  win::WPARAM code = 0;
  EXPECT_EQ(Drain(&code), (Messages{WM_USER + 1, WM_QUIT}));
  EXPECT_EQ(code, 3u);

  // Filters select by window and by range, but never hold back a quit request.
  win::PostMessageA(second, WM_USER + 3, 0, 0);
  EXPECT_TRUE(win::GetMessageA(&message, second, 0, 0) == 1 && message.message == WM_USER + 3);
  win::PostQuitMessage(1);
  EXPECT_EQ(win::GetMessageA(&message, second, WM_USER + 50, WM_USER + 60), 0);
  EXPECT_EQ(Settle(), (Messages{WM_USER + 2, WM_QUIT}));

  win::HWND stale = reinterpret_cast<win::HWND>(static_cast<uintptr_t>(0x7777));
  EXPECT_TRUE(win::GetMessageA(&message, stale, 0, 0) == -1 && win::GetLastError() == ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_TRUE(!win::PostThreadMessageA(424242, WM_QUIT, 0, 0) && win::GetLastError() == ERROR_INVALID_THREAD_ID);
}

TEST(Timers, DueAfterPostedAndPaintRepeatingUntilKilledOrTheWindowGoes) {
  si::UseMemoryDisplay();
  win::HWND window = CreateTestWindow();
  win::ShowWindow(window, SW_SHOW);
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };
  ASSERT_NE(win::SetTimer(window, 7, 40, nullptr), 0u);
  win::PostMessageA(window, WM_USER + 1, 0, 0);
  // The loop waits for the timer; it comes after what was posted and the paint.
  win::MSG m{};
  Messages order;
  for (int i = 0; i < 3 && win::GetMessageA(&m, nullptr, 0, 0) == 1; ++i) {
    order.push_back(m.message);
    win::DispatchMessageA(&m);
  }
  EXPECT_EQ(order, (Messages{WM_USER + 1, WM_PAINT, WM_TIMER}));
  EXPECT_TRUE(m.hwnd == window && m.wParam == 7u && elapsed() >= 40);
  // It comes again an interval later, and reaches the procedure.
  ASSERT_EQ(win::GetMessageA(&m, nullptr, 0, 0), 1);
  win::DispatchMessageA(&m);
  EXPECT_TRUE(m.message == WM_TIMER && elapsed() >= 80);
  EXPECT_EQ(si::MessageCount(window, WM_TIMER), 2);
  EXPECT_TRUE(win::KillTimer(window, 7));
  EXPECT_FALSE(win::KillTimer(window, 7));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(Settle(), (Messages{WM_QUIT}));

  // Only the window's own thread sets its timers; they end with the window.
  std::thread other([&] { EXPECT_EQ(win::SetTimer(window, 1, 10, nullptr), 0u); });
  other.join();
  ASSERT_NE(win::SetTimer(window, 8, 10, nullptr), 0u);
  win::DestroyWindow(window);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(Drain(), (Messages{WM_QUIT}));
}

TEST(PaintCycle, FirstPaintErasingUpdateRegionsAndBeginPaint) {
  StartClean();
  ASSERT_NE(RegisterTestClass("BlueBackground", win::CreateSolidBrush(Blue)), 0);
  PaintFromCanvas = false;  // WM_PAINT and WM_ERASEBKGND go to DefWindowProcA
  win::HWND window = CreateTestWindow({.className = "BlueBackground"});
  // Hidden: nothing to paint. Shown: all of it, erased with the class brush once.
  EXPECT_FALSE(si::DescribeWindow(window).updatePending);
  EXPECT_FALSE(win::ShowWindow(window, SW_SHOW));  // was hidden
  EXPECT_TRUE(SameRect(si::DescribeWindow(window).update, win::RECT{0, 0, 200, 100}));
  EXPECT_TRUE(win::UpdateWindow(window));
  EXPECT_TRUE(win::UpdateWindow(window));  // nothing left: no second paint
  EXPECT_EQ(Logged({WM_PAINT}).size(), 1u);
  EXPECT_TRUE(si::ClientPixel(window, 0, 0) == Blue && si::ClientPixel(window, 199, 99) == Blue);

  // Only the invalidated part is erased, and only when asked for; the window DC
  // draws on the client surface and no further (x = 200 is clipped).
  win::HDC dc = win::GetDC(window);
  for (int x = 0; x <= 200; ++x) win::SetPixelV(dc, x, 50, Red);
  EXPECT_EQ(win::ReleaseDC(window, dc), 1);
  win::RECT left{0, 40, 100, 60};
  win::InvalidateRect(window, &left, FALSE);
  Settle();
  EXPECT_TRUE(si::ClientPixel(window, 10, 50) == Red && si::ClientPixel(window, 0, 51) == Blue);
  win::InvalidateRect(window, &left, TRUE);
  Settle();
  EXPECT_TRUE(si::ClientPixel(window, 99, 50) == Blue && si::ClientPixel(window, 100, 50) == Red);

  // Invalidations add up to one update region; parts outside the client area drop off.
  win::RECT a{10, 10, 20, 20}, b{30, 5, 250, 15}, outside{300, 300, 400, 400}, update;
  for (const win::RECT* r : {&a, &b, &outside}) win::InvalidateRect(window, r, FALSE);
  ASSERT_TRUE(win::GetUpdateRect(window, &update, FALSE));
  EXPECT_TRUE(SameRect(update, win::RECT{10, 5, 200, 20}));
  // BeginPaint hands it out, validates it, and clips drawing to it.
  win::PAINTSTRUCT paint;
  dc = win::BeginPaint(window, &paint);
  EXPECT_TRUE(dc && paint.hdc == dc && !paint.fErase && SameRect(paint.rcPaint, update));
  EXPECT_FALSE(win::GetUpdateRect(window, &update, FALSE));
  const int pixels[][3] = {{10, 5, Red}, {199, 19, Red}, {9, 5, Blue}, {10, 20, Blue}};
  for (auto [x, y, shown] : pixels) win::SetPixelV(dc, x, y, Red);
  EXPECT_TRUE(win::EndPaint(window, &paint));
  for (auto [x, y, shown] : pixels) EXPECT_EQ(si::ClientPixel(window, x, y), static_cast<win::COLORREF>(shown));
  EXPECT_EQ(si::DescribeWindow(window).paints, 4);
  EXPECT_EQ(Settle(), (Messages{WM_QUIT}));  // nothing is left for the loop to paint
}

TEST(PaintCycle, CoveredAndMinimisedPartsArePaintedAgainFromTheCanvas) {
  StartClean();
  WindowThread thread;
  win::HWND window = thread.window;
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  EXPECT_TRUE(SameRect(Painted(0), win::RECT{0, 0, 200, 100}));  // the first paint was all of it
  // A diagonal pattern, drawn from this thread while the window thread waits.
  for (int i = 0; i < 100; ++i) {
    DrawPixel(i * 2, i, RGB(i, 255 - i, 128));
    DrawPixel(i * 2 + 1, 99 - i, RGB(200, i, 7));
  }
  std::vector<win::COLORREF> drawn = si::ClientPixels(window);
  EXPECT_EQ(drawn[0], RGB(0, 255, 128));

  win::RECT area{20, 10, 120, 60};
  si::CoverWindow(window, area);
  EXPECT_TRUE(si::ClientPixel(window, 20, 10) == si::CoveredColour &&
              si::ClientPixel(window, 119, 59) == si::CoveredColour);
  EXPECT_EQ(si::ClientPixel(window, 0, 0), drawn[0]);
  si::UncoverWindow(window, area);
  ASSERT_TRUE(si::WaitForPaints(window, 2, 10000));
  EXPECT_EQ(si::ClientPixels(window), drawn);
  EXPECT_TRUE(SameRect(Painted(-1), area));
  si::MinimizeWindow(window);
  EXPECT_TRUE(Eventually([&] { return si::DescribeWindow(window).minimized; }));
  EXPECT_EQ(si::ClientPixel(window, 0, 0), si::CoveredColour);
  si::RestoreWindow(window);
  ASSERT_TRUE(si::WaitForPaints(window, 3, 10000));
  EXPECT_FALSE(si::DescribeWindow(window).minimized);
  EXPECT_EQ(si::ClientPixels(window), drawn);
  EXPECT_EQ(si::MessageCount(window, WM_PAINT), 3);
}

TEST(Closing, CloseButtonPostedDestroyAndQuitAndDestroyWindowWithChildren) {
  StartClean();
  {
    WindowThread closed;
    ASSERT_TRUE(si::WaitForFirstPaint(closed.window, 10000));
    // Not this thread's window.
    EXPECT_TRUE(!win::DestroyWindow(closed.window) && win::GetLastError() == ERROR_ACCESS_DENIED);
    si::PressCloseButton(closed.window);
    ASSERT_TRUE(closed.EndsByQuit());
    EXPECT_EQ(Logged(Ending, closed.window), Ending);
    EXPECT_FALSE(win::IsWindow(closed.window));
    EXPECT_TRUE(!win::PostMessageA(closed.window, WM_DESTROY, 0, 0) &&
                win::GetLastError() == ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_TRUE(si::ClientPixels(closed.window).empty());
  }
  auto thread = std::make_unique<WindowThread>();
  win::HWND window = thread->window;
  win::DWORD id = thread->id;
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  // As the program closes its graph: WM_DESTROY to the window, WM_QUIT to the thread.
  QuitOnDestroy = false;
  ASSERT_TRUE(win::PostMessageA(window, WM_DESTROY, 0, 0));
  ASSERT_TRUE(win::PostThreadMessageA(id, WM_QUIT, 0, 0));
  ASSERT_TRUE(thread->EndsByQuit());
  thread.reset();  // joined: the window went with its thread, without further messages
  EXPECT_FALSE(win::IsWindow(window));
  EXPECT_EQ(Logged(Ending, window), (Messages{WM_DESTROY}));
  EXPECT_FALSE(win::PostThreadMessageA(id, WM_QUIT, 0, 0));

  // DestroyWindow takes the children along, in Windows' order, with what was posted to them.
  win::HWND parent = CreateTestWindow();
  win::HWND child = CreateTestWindow({.style = WS_CHILD, .width = 50, .height = 50}, parent);
  win::PostMessageA(child, WM_USER, 0, 0);
  ClearLog();
  EXPECT_TRUE(win::DestroyWindow(parent));
  EXPECT_EQ(Logged(), (Messages{WM_DESTROY, WM_DESTROY, WM_NCDESTROY, WM_NCDESTROY}));
  EXPECT_EQ(Logged({}, child), (Messages{WM_DESTROY, WM_NCDESTROY}));  // inside the parent's pair
  EXPECT_FALSE(win::IsWindow(child) || win::DestroyWindow(parent));
  EXPECT_EQ(Settle(), (Messages{WM_QUIT}));
}

TEST(Threads, PostsSendsDrawingAndInvalidationFromOtherThreadsWhileTheLoopRuns) {
  StartClean();
  WindowThread thread;
  win::HWND window = thread.window;
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  // Sent from here, painted there before UpdateWindow returns. The window's own
  // loop may take the paint first; the sent one then finds nothing left.
  win::RECT corner{0, 0, 3, 3};
  win::InvalidateRect(window, &corner, FALSE);
  EXPECT_TRUE(win::UpdateWindow(window));
  EXPECT_TRUE(si::DescribeWindow(window).paints >= 2 && !si::DescribeWindow(window).updatePending);
  win::MSG message;  // this thread may not retrieve another thread's messages
  EXPECT_EQ(win::GetMessageA(&message, window, 0, 0), -1);

  constexpr int PerPoster = 2000;
  std::vector<std::thread> workers;
  for (int poster = 0; poster < 2; ++poster)
    workers.emplace_back([=] {
      for (int i = 0; i < PerPoster; ++i)
        EXPECT_TRUE(win::PostMessageA(window, WM_USER + 1 + poster, static_cast<win::WPARAM>(i), 0));
    });
  for (int sender = 0; sender < 2; ++sender)
    workers.emplace_back([=] {
      for (int i = 0; i < 50; ++i) EXPECT_EQ(win::SendMessageA(window, WM_USER + 20, 0, 0), 0);
    });
  workers.emplace_back([] {
    for (int i = 0; i < 4000; ++i) DrawPixel(i % 200, (i / 200) % 100, RGB(i, i >> 8, 9));
  });
  workers.emplace_back([=] {
    for (int i = 0; i < 200; ++i) {
      win::RECT area{i % 200, 0, i % 200 + 1, 100};
      win::InvalidateRect(window, &area, FALSE);
    }
  });
  for (std::thread& worker : workers) worker.join();
  win::PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(thread.EndsByQuit(20000));

  // Each poster's messages arrived in the order posted; all ran on the window's thread.
  win::WPARAM next[2] = {0, 0};
  for (const LoggedMessage& m : Log()) {
    if (m.message == WM_USER + 1 || m.message == WM_USER + 2) {
      ASSERT_EQ(m.wParam, next[m.message - WM_USER - 1]++);
    }
    ASSERT_EQ(m.thread, thread.id);
  }
  EXPECT_TRUE(next[0] == PerPoster && next[1] == PerPoster);
  EXPECT_EQ(Logged({WM_USER + 20}).size(), 100u);
  // A thread that ended answers nothing, and does not hang the sender.
  EXPECT_EQ(win::SendMessageA(window, WM_USER + 20, 0, 0), 0);
}

TEST(NoDisplay, CreationFailsCleanlyAndMessageBoxesGoToStandardError) {
  auto r = testing_support::RunInChild([] {
    StartClean(si::UseX11Display);
    setenv("DISPLAY", ":4093", 1);  // nothing listens there
    win::SetLastError(0);
    bool failed = CreateTestWindow() == nullptr && win::GetLastError() != 0 && Log().empty();
    printf("%d %d", win::GetSystemMetrics(SM_CXSCREEN), win::GetSystemMetrics(SM_CYFULLSCREEN));
    fflush(stdout);
    bool ok = win::MessageBoxA(nullptr, "Window creation failed", nullptr, MB_OK) == IDOK &&
              win::MessageBoxA(nullptr, "Bitmap", "Notice", MB_OK) == IDOK;
    _exit(failed && ok ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
  si::DisplayMetrics fallback;  // the metrics still answer
  EXPECT_EQ(r.out, std::to_string(fallback.screenWidth) + " " + std::to_string(fallback.fullScreenHeight));
  EXPECT_EQ(r.err, "Error: Window creation failed\nNotice: Bitmap\n");
}

}  // namespace
