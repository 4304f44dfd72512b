// The window's thread runs its loop while other threads post, send, draw and
// invalidate, as the program's main thread does.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "platform/posix/user/memory_display.h"
#include "tests/platform/user/window_fixture.h"

namespace {

using namespace window_tests;
namespace si = win::stand_in;

TEST(Threads, PostsDrawingAndInvalidationFromOtherThreadsWhileTheLoopRuns) {
  si::UseMemoryDisplay();
  WindowThread thread;
  win::HWND window = thread.Window();
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  constexpr int PerPoster = 2000;
  std::vector<std::thread> workers;
  for (int poster = 0; poster < 2; ++poster)
    workers.emplace_back([=] {
      for (int i = 0; i < PerPoster; ++i)
        EXPECT_TRUE(win::PostMessageA(window, WM_USER + 1 + poster, static_cast<win::WPARAM>(i), 0));
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
  ASSERT_TRUE(thread.WaitForEnd(20000));

  // Each poster's messages all arrived, in the order posted.
  std::map<win::UINT, std::vector<win::WPARAM>> received;
  for (const LoggedMessage& m : Log())
    if (m.message == WM_USER + 1 || m.message == WM_USER + 2) received[m.message].push_back(m.wParam);
  for (win::UINT message : {WM_USER + 1, WM_USER + 2}) {
    ASSERT_EQ(received[message].size(), static_cast<size_t>(PerPoster));
    for (int i = 0; i < PerPoster; ++i) ASSERT_EQ(received[message][i], static_cast<win::WPARAM>(i));
  }
  EXPECT_EQ(LoggedCount(WM_DESTROY), 1);
}

TEST(Threads, SentMessagesRunOnTheWindowsThreadAndAnswer) {
  si::UseMemoryDisplay();
  WindowThread thread;
  win::HWND window = thread.Window();
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  // Sent from here, painted there: UpdateWindow and ShowWindow across threads.
  win::RECT corner{0, 0, 3, 3};
  win::InvalidateRect(window, &corner, FALSE);
  EXPECT_TRUE(win::UpdateWindow(window));
  EXPECT_EQ(si::DescribeWindow(window).paints, 2);  // painted before UpdateWindow returned
  EXPECT_NE(win::ShowWindow(window, SW_SHOWMAXIMIZED), FALSE);
  EXPECT_TRUE(si::DescribeWindow(window).maximized);
  // Messages sent from two threads at once run on the window's thread and are
  // answered to each sender.
  std::vector<std::thread> senders;
  for (int i = 0; i < 2; ++i)
    senders.emplace_back([=] {
      for (int k = 0; k < 50; ++k) EXPECT_EQ(win::SendMessageA(window, WM_USER + 20, 0, 0), 0);
    });
  for (std::thread& sender : senders) sender.join();
  EXPECT_EQ(si::MessageCount(window, WM_USER + 20), 100);
  for (const LoggedMessage& m : Log()) {
    if (m.message == WM_USER + 20) {
      EXPECT_EQ(m.thread, thread.Id());
    }
  }
  win::PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(thread.WaitForEnd(10000));
  // A thread that ended answers nothing, and does not hang the sender.
  EXPECT_EQ(win::SendMessageA(window, WM_USER + 20, 0, 0), 0);
}

}  // namespace
