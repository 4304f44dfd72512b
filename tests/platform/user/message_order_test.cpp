// The order in which GetMessageA hands out messages, and what it does with
// thread messages, quit requests, filters and bad arguments.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/posix/user/memory_display.h"
#include "tests/platform/user/window_fixture.h"

namespace {

using namespace window_tests;
namespace si = win::stand_in;

win::HWND CreateHidden() {
  RegisterTestClass();
  return win::CreateWindowExA(0, TestClass, "Order", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 208, 127, nullptr, nullptr,
                              nullptr, nullptr);
}

// Retrieves (and dispatches) until GetMessageA returns 0; the messages returned, in order.
std::vector<win::UINT> Drain(win::WPARAM* quitCode = nullptr) {
  std::vector<win::UINT> returned;
  win::MSG message;
  while (win::GetMessageA(&message, nullptr, 0, 0) > 0) {
    returned.push_back(message.message);
    win::DispatchMessageA(&message);
  }
  returned.push_back(message.message);
  if (quitCode) *quitCode = message.wParam;
  return returned;
}

TEST(MessageOrder, SentThenPostedThenPaintThenQuit) {
  si::UseMemoryDisplay();
  win::HWND window = CreateHidden();
  ASSERT_NE(window, nullptr);
  win::ShowWindow(window, SW_SHOW);  // a non-empty update region, no paint yet
  win::PostQuitMessage(4);           // asked first, handed out last
  ASSERT_TRUE(win::PostMessageA(window, WM_USER + 1, 0, 0));
  ASSERT_TRUE(win::PostMessageA(window, WM_USER + 2, 0, 0));
  win::DWORD self = win::GetCurrentThreadId();
  std::thread sender([&] { EXPECT_EQ(win::SendMessageA(window, WM_USER + 10, 0, 0), 0); });
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (si::QueueOfThread(self).sent == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  ASSERT_EQ(si::QueueOfThread(self).sent, 1);
  ClearLog();

  win::WPARAM quitCode = 0;
  std::vector<win::UINT> returned = Drain(&quitCode);
  sender.join();
  EXPECT_EQ(returned, (std::vector<win::UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_QUIT}));
  EXPECT_EQ(quitCode, 4u);
  // The sent message ran before anything was handed out; painting erased once.
  EXPECT_EQ(LoggedMessages(WM_USER, WM_USER + 100), (std::vector<win::UINT>{WM_USER + 10, WM_USER + 1, WM_USER + 2}));
  EXPECT_EQ(LoggedCount(WM_PAINT), 1);
  EXPECT_EQ(LoggedCount(WM_ERASEBKGND), 1);
}

TEST(MessageOrder, PaintOnlyWhileTheUpdateRegionIsNotEmpty) {
  si::UseMemoryDisplay();
  win::HWND window = CreateHidden();
  ASSERT_NE(window, nullptr);
  // Hidden: an invalidated window is not painted.
  win::InvalidateRect(window, nullptr, TRUE);
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_QUIT}));

  // Shown and painted once: validated, so no second WM_PAINT.
  win::ShowWindow(window, SW_SHOW);
  win::PostMessageA(window, WM_USER, 0, 0);
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_USER, WM_PAINT, WM_QUIT}));
  win::PostMessageA(window, WM_USER, 0, 0);
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_USER, WM_QUIT}));

  // A procedure passing WM_PAINT to DefWindowProcA is validated too.
  PaintFromCanvas = false;
  win::RECT corner{0, 0, 5, 5};
  win::InvalidateRect(window, &corner, FALSE);
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_PAINT, WM_QUIT}));
  EXPECT_FALSE(win::GetUpdateRect(window, nullptr, FALSE));

  // Minimised windows are not painted; restoring paints them.
  win::ShowWindow(window, SW_MINIMIZE);
  win::InvalidateRect(window, nullptr, FALSE);
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_QUIT}));
  win::ShowWindow(window, SW_RESTORE);
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_PAINT, WM_QUIT}));
}

TEST(MessageOrder, ThreadMessagesAreHandedOutButNotDispatched) {
  si::UseMemoryDisplay();
  win::HWND window = CreateHidden();
  ASSERT_NE(window, nullptr);
  ClearLog();
  ASSERT_TRUE(win::PostThreadMessageA(win::GetCurrentThreadId(), WM_USER + 5, 7, 8));
  ASSERT_TRUE(win::PostMessageA(nullptr, WM_USER + 6, 9, 10));  // no window: the calling thread
  win::MSG message;
  ASSERT_EQ(win::GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.message, static_cast<win::UINT>(WM_USER + 5));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_EQ(message.lParam, 8);
  EXPECT_EQ(win::DispatchMessageA(&message), 0);
  ASSERT_EQ(win::GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, static_cast<win::UINT>(WM_USER + 6));
  EXPECT_EQ(message.hwnd, nullptr);
  win::DispatchMessageA(&message);
  EXPECT_TRUE(LoggedMessages(WM_USER, WM_USER + 100).empty());

  // WM_QUIT posted as a thread message ends the loop in its turn, with its code.
  win::PostMessageA(window, WM_USER + 1, 0, 0);
  win::PostThreadMessageA(win::GetCurrentThreadId(), WM_QUIT, 3, 0);
  win::PostMessageA(window, WM_USER + 2, 0, 0);
  win::WPARAM code = 0;
  EXPECT_EQ(Drain(&code), (std::vector<win::UINT>{WM_USER + 1, WM_QUIT}));
  EXPECT_EQ(code, 3u);
  // What was posted after it is still there for the next loop.
  win::PostQuitMessage(0);
  EXPECT_EQ(Drain(), (std::vector<win::UINT>{WM_USER + 2, WM_QUIT}));
}

TEST(MessageOrder, FiltersSelectByWindowAndRangeButNeverHoldBackQuit) {
  si::UseMemoryDisplay();
  win::HWND first = CreateHidden();
  win::HWND second = CreateHidden();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  win::PostMessageA(first, WM_USER + 1, 0, 0);
  win::PostMessageA(second, WM_USER + 2, 0, 0);
  win::PostMessageA(first, WM_USER + 3, 0, 0);
  win::MSG message;
  ASSERT_EQ(win::GetMessageA(&message, second, 0, 0), 1);
  EXPECT_EQ(message.message, static_cast<win::UINT>(WM_USER + 2));
  ASSERT_EQ(win::GetMessageA(&message, nullptr, WM_USER + 3, WM_USER + 3), 1);
  EXPECT_EQ(message.message, static_cast<win::UINT>(WM_USER + 3));
  win::PostQuitMessage(1);
  EXPECT_EQ(win::GetMessageA(&message, second, WM_USER + 50, WM_USER + 60), 0);
  EXPECT_EQ(message.message, static_cast<win::UINT>(WM_QUIT));
  ASSERT_EQ(win::GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, static_cast<win::UINT>(WM_USER + 1));
}

TEST(MessageErrors, BadArgumentsFailAsOnWindows) {
  si::UseMemoryDisplay();
  win::HWND own = CreateHidden();
  ASSERT_NE(own, nullptr);
  win::HWND foreign = nullptr;
  std::thread([&] { foreign = CreateHidden(); }).join();
  ASSERT_NE(foreign, nullptr);  // its thread has ended: its windows are gone with it
  EXPECT_FALSE(win::IsWindow(foreign));

  win::MSG message;
  win::HWND stale = reinterpret_cast<win::HWND>(static_cast<uintptr_t>(0x7777));
  EXPECT_EQ(win::GetMessageA(&message, stale, 0, 0), -1);
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(win::GetMessageA(nullptr, nullptr, 0, 0), -1);
  EXPECT_FALSE(win::PostMessageA(stale, WM_USER, 0, 0));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(win::PostMessageA(foreign, WM_USER, 0, 0));
  EXPECT_FALSE(win::PostThreadMessageA(424242, WM_QUIT, 0, 0));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_INVALID_THREAD_ID));

  // A window of another, running thread is neither dispatched to nor filtered on here.
  std::atomic<bool> done{false};
  std::atomic<win::HWND> other{nullptr};
  std::thread owner([&] {
    other = CreateHidden();
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!other) std::this_thread::yield();
  ClearLog();
  win::MSG forOther{other, WM_USER + 9, 0, 0, 0, {0, 0}};
  EXPECT_EQ(win::DispatchMessageA(&forOther), 0);
  EXPECT_EQ(win::GetMessageA(&message, other, 0, 0), -1);
  EXPECT_FALSE(win::DestroyWindow(other));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(win::IsWindow(other));
  done = true;
  owner.join();
  EXPECT_EQ(LoggedCount(WM_USER + 9), 0);
}

}  // namespace
