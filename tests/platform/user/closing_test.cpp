// Ways a window ends: the close button, the program's own posted WM_DESTROY
// and WM_QUIT, DestroyWindow with children, and the end of its thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/posix/user/memory_display.h"
#include "tests/platform/user/window_fixture.h"

namespace {

using namespace window_tests;
namespace si = win::stand_in;

// The messages of one window, in order, among those listed.
std::vector<win::UINT> MessagesOf(win::HWND window, std::vector<win::UINT> wanted) {
  std::vector<win::UINT> result;
  for (const LoggedMessage& m : Log())
    if (m.window == window && std::find(wanted.begin(), wanted.end(), m.message) != wanted.end())
      result.push_back(m.message);
  return result;
}

TEST(Closing, CloseButtonDestroysTheWindowAndEndsTheLoop) {
  si::UseMemoryDisplay();
  WindowThread thread;
  win::HWND window = thread.Window();
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  si::PressCloseButton(window);
  ASSERT_TRUE(thread.WaitForEnd(10000));
  EXPECT_EQ(thread.LoopResult(), 0);
  EXPECT_EQ(MessagesOf(window, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<win::UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(win::IsWindow(window));
  EXPECT_FALSE(win::PostMessageA(window, WM_DESTROY, 0, 0));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(si::ClientPixels(window).size(), 0u);
}

TEST(Closing, PostedDestroyAndQuitEndTheThreadAndItsWindows) {
  si::UseMemoryDisplay();
  auto thread = std::make_unique<WindowThread>();
  win::HWND window = thread->Window();
  ASSERT_TRUE(si::WaitForFirstPaint(window, 10000));
  // As the program closes its graph: WM_DESTROY to the window, WM_QUIT to the thread.
  QuitOnDestroy = false;
  ASSERT_TRUE(win::PostMessageA(window, WM_DESTROY, 0, 0));
  ASSERT_TRUE(win::PostThreadMessageA(thread->ThreadId(), WM_QUIT, 0, 0));
  ASSERT_TRUE(thread->WaitForEnd(10000));
  EXPECT_EQ(thread->LoopResult(), 0);
  EXPECT_EQ(MessagesOf(window, {WM_DESTROY}).size(), 1u);
  win::DWORD id = thread->ThreadId();
  thread.reset();  // joined: the window went with its thread, without further messages
  EXPECT_FALSE(win::IsWindow(window));
  EXPECT_EQ(MessagesOf(window, {WM_DESTROY, WM_NCDESTROY}).size(), 1u);
  EXPECT_FALSE(win::PostThreadMessageA(id, WM_QUIT, 0, 0));
}

TEST(Closing, DestroyWindowTakesChildrenAlongInWindowsOrder) {
  si::UseMemoryDisplay();
  RegisterTestClass();
  QuitOnDestroy = false;
  win::HWND parent = win::CreateWindowExA(0, TestClass, "Parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                          nullptr, nullptr);
  win::HWND child =
      win::CreateWindowExA(0, TestClass, nullptr, WS_CHILD, 5, 5, 50, 50, parent, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  win::PostMessageA(child, WM_USER, 0, 0);
  ClearLog();
  EXPECT_TRUE(win::DestroyWindow(parent));
  std::vector<std::pair<win::HWND, win::UINT>> order;
  for (const LoggedMessage& m : Log()) order.emplace_back(m.window, m.message);
  EXPECT_EQ(order, (std::vector<std::pair<win::HWND, win::UINT>>{
                       {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}}));
  EXPECT_FALSE(win::IsWindow(parent));
  EXPECT_FALSE(win::IsWindow(child));
  EXPECT_FALSE(win::DestroyWindow(parent));
  // Messages posted to a destroyed window are gone with it.
  win::PostQuitMessage(0);
  win::MSG message;
  EXPECT_EQ(win::GetMessageA(&message, nullptr, 0, 0), 0);
}

}  // namespace
