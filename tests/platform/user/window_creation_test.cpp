// Window classes, window creation with its synchronous messages, placement
// from the style and the metrics, and creation without a display.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>

#include "platform/posix/user/memory_display.h"
#include "tests/platform/user/window_fixture.h"
#include "tests/support/child_process.h"

namespace {

using namespace window_tests;
namespace si = win::stand_in;

win::WNDCLASSA ClassNamed(const char* name) {
  win::WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = TestProcedure;
  windowClass.hbrBackground = static_cast<win::HBRUSH>(win::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = name;
  return windowClass;
}

win::HWND Create(win::DWORD style, int width = 208, int height = 127, win::HWND parent = nullptr,
                 win::LPVOID parameter = nullptr) {
  RegisterTestClass();
  return win::CreateWindowExA(0, TestClass, "Created", style, CW_USEDEFAULT, 0, width, height, parent, nullptr, nullptr,
                              parameter);
}

TEST(WindowClasses, NamesAreCaseInsensitiveAndRegisteredOnce) {
  si::UseMemoryDisplay();
  win::WNDCLASSA graph = ClassNamed("ZynGraphWindow");
  win::ATOM atom = win::RegisterClassA(&graph);
  EXPECT_NE(atom, 0);
  win::WNDCLASSA again = ClassNamed("zyngraphWINDOW");
  EXPECT_EQ(win::RegisterClassA(&again), 0);
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  win::WNDCLASSA other = ClassNamed("ZynGraphWindowMain");
  win::ATOM otherAtom = win::RegisterClassA(&other);
  EXPECT_NE(otherAtom, 0);
  EXPECT_NE(otherAtom, atom);

  win::HWND byOtherCase = win::CreateWindowExA(0, "ZYNGRAPHWINDOW", "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                               nullptr, nullptr, nullptr);
  EXPECT_NE(byOtherCase, nullptr);
  EXPECT_EQ(si::DescribeWindow(byOtherCase).className, "ZynGraphWindow");
  EXPECT_EQ(win::CreateWindowExA(0, "NoSuchClass", "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr),
            nullptr);
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  win::WNDCLASSA nameless = ClassNamed(nullptr);
  EXPECT_EQ(win::RegisterClassA(&nameless), 0);

  win::HICON icon = win::LoadIconA(nullptr, IDI_APPLICATION);
  win::HCURSOR cursor = win::LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_NE(icon, nullptr);
  EXPECT_NE(cursor, nullptr);
  EXPECT_EQ(win::LoadIconA(nullptr, IDI_APPLICATION), icon);
}

TEST(WindowCreation, CreateMessagesArriveBeforeCreationReturns) {
  si::UseMemoryDisplay();
  int parameter = 0;
  win::HWND window = Create(WS_OVERLAPPEDWINDOW, 208, 127, nullptr, &parameter);
  ASSERT_NE(window, nullptr);
  // WM_NCCREATE, then WM_CREATE, both before CreateWindowExA returned.
  std::vector<win::UINT> creation = LoggedMessages();
  ASSERT_GE(creation.size(), 2u);
  EXPECT_EQ(creation[0], static_cast<win::UINT>(WM_NCCREATE));
  EXPECT_EQ(creation[1], static_cast<win::UINT>(WM_CREATE));
  EXPECT_EQ(Log()[1].window, window);
  CreationSeen seen = Creation();
  EXPECT_TRUE(seen.seen);
  EXPECT_EQ(seen.parameter, &parameter);
  EXPECT_EQ(seen.name, "Created");
  EXPECT_EQ(seen.cx, 208);
  EXPECT_EQ(seen.cy, 127);
  EXPECT_EQ(static_cast<win::DWORD>(seen.style), static_cast<win::DWORD>(WS_OVERLAPPEDWINDOW));
  EXPECT_EQ(LoggedCount(WM_PAINT), 0);

  // Not shown yet: nothing to paint. Shown: all of it, painted at once by UpdateWindow.
  si::WindowFacts facts = si::DescribeWindow(window);
  EXPECT_FALSE(facts.visible);
  EXPECT_FALSE(facts.updatePending);
  EXPECT_EQ(win::ShowWindow(window, SW_SHOW), FALSE);  // was hidden
  facts = si::DescribeWindow(window);
  EXPECT_TRUE(facts.visible);
  EXPECT_TRUE(facts.updatePending);
  EXPECT_EQ(facts.update.right, 200);
  EXPECT_EQ(facts.update.bottom, 100);
  EXPECT_TRUE(win::UpdateWindow(window));
  EXPECT_EQ(LoggedCount(WM_PAINT), 1);
  EXPECT_EQ(si::DescribeWindow(window).paints, 1);
  EXPECT_FALSE(si::DescribeWindow(window).updatePending);
  EXPECT_TRUE(win::UpdateWindow(window));  // nothing left: no second paint
  EXPECT_EQ(LoggedCount(WM_PAINT), 1);
  EXPECT_NE(win::ShowWindow(window, SW_SHOW), FALSE);  // was visible
  EXPECT_EQ(si::FindTopLevelWindow("Created"), window);
  EXPECT_EQ(si::FindTopLevelWindow(), window);
}

TEST(WindowCreation, MinusOneFromCreateDestroysTheWindow) {
  si::UseMemoryDisplay();
  CreateResult = -1;
  win::HWND window = Create(WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(LoggedMessages(), (std::vector<win::UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(si::FindTopLevelWindow(), nullptr);
  win::HWND created = Log()[1].window;
  EXPECT_FALSE(win::IsWindow(created));
}

TEST(WindowCreation, WithoutDisplayCreationFailsWhileClassesAndMetricsWork) {
  si::DisplayMetrics metrics;
  metrics.screenWidth = 640;
  metrics.screenHeight = 400;
  metrics.fullScreenWidth = 640;
  metrics.fullScreenHeight = 381;
  si::UseNoDisplay(metrics);
  win::WNDCLASSA graph = ClassNamed("ZynGraphWindow");
  EXPECT_NE(win::RegisterClassA(&graph), 0);
  win::SetLastError(0);
  EXPECT_EQ(win::CreateWindowExA(0, "ZynGraphWindow", "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr),
            nullptr);
  EXPECT_NE(win::GetLastError(), 0u);
  EXPECT_TRUE(Log().empty());  // the procedure never ran
  EXPECT_EQ(win::GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(win::GetSystemMetrics(SM_CYSCREEN), 400);
  EXPECT_EQ(win::GetSystemMetrics(SM_CYFULLSCREEN), 381);
}

TEST(WindowCreation, UnreachableDisplayFailsCreationAndAnswersDefaultMetrics) {
  auto r = testing_support::RunInChild([] {
    setenv("DISPLAY", ":4093", 1);  // nothing listens there
    RegisterTestClass();
    bool failed = win::CreateWindowExA(0, TestClass, "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                       nullptr, nullptr) == nullptr &&
                  win::GetLastError() != 0;
    int metrics[] = {win::GetSystemMetrics(SM_CXSCREEN),     win::GetSystemMetrics(SM_CYSCREEN),
                     win::GetSystemMetrics(SM_CXFRAME),      win::GetSystemMetrics(SM_CYFRAME),
                     win::GetSystemMetrics(SM_CYCAPTION),    win::GetSystemMetrics(SM_CXFULLSCREEN),
                     win::GetSystemMetrics(SM_CYFULLSCREEN), win::GetSystemMetrics(12345)};
    for (int m : metrics) printf("%d ", m);
    fflush(stdout);
    _exit(failed ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "1024 768 4 4 19 1024 749 0 ");
}

TEST(WindowCreation, MessageBoxWritesOneLineAndReturnsOk) {
  auto r = testing_support::RunInChild([] {
    int first = win::MessageBoxA(nullptr, "Window creation failed", nullptr, MB_OK);
    int second = win::MessageBoxA(nullptr, "Bitmap", "Notice", MB_OK);
    _exit(first == IDOK && second == IDOK ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Error: Window creation failed\nNotice: Bitmap\n");
  EXPECT_EQ(r.out, "");
}

TEST(WindowPlacement, ClientSizeFollowsStyleMetricsAndState) {
  si::DisplayMetrics metrics;
  metrics.screenWidth = 800;
  metrics.screenHeight = 600;
  metrics.frameWidth = 3;
  metrics.frameHeight = 5;
  metrics.captionHeight = 20;
  metrics.fullScreenWidth = 800;
  metrics.fullScreenHeight = 570;
  si::UseMemoryDisplay(metrics);

  win::HWND normal = Create(WS_OVERLAPPEDWINDOW, 206, 130);
  si::WindowFacts facts = si::DescribeWindow(normal);
  EXPECT_EQ(facts.clientWidth, 200);   // 206 - 2 * 3
  EXPECT_EQ(facts.clientHeight, 100);  // 130 - 2 * 5 - 20
  EXPECT_FALSE(facts.maximized);
  EXPECT_EQ(si::ClientPixels(normal).size(), 200u * 100u);
  EXPECT_EQ(si::ClientPixel(normal, 199, 99), 0u);  // black before anything is drawn
  EXPECT_EQ(si::ClientPixel(normal, 200, 0), CLR_INVALID);

  // Created maximised: the full-screen client size, whatever size was asked for.
  win::HWND maximized = Create(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 206, 130);
  facts = si::DescribeWindow(maximized);
  EXPECT_TRUE(facts.maximized);
  EXPECT_EQ(facts.clientWidth, 800);
  EXPECT_EQ(facts.clientHeight, 570);
  EXPECT_EQ(facts.style & WS_MAXIMIZE, 0u);

  // Maximised later and restored: WM_SIZE each time, the normal size back.
  ClearLog();
  win::ShowWindow(normal, SW_SHOWMAXIMIZED);
  facts = si::DescribeWindow(normal);
  EXPECT_TRUE(facts.maximized && facts.visible);
  EXPECT_EQ(facts.clientWidth, 800);
  ASSERT_EQ(LoggedCount(WM_SIZE), 1);
  for (const LoggedMessage& m : Log())
    if (m.message == WM_SIZE) {
      EXPECT_EQ(m.wParam, static_cast<win::WPARAM>(SIZE_MAXIMIZED));
      EXPECT_EQ(m.lParam, (570 << 16) | 800);
    }
  win::ShowWindow(normal, SW_RESTORE);
  facts = si::DescribeWindow(normal);
  EXPECT_FALSE(facts.maximized);
  EXPECT_EQ(facts.clientWidth, 200);
  EXPECT_EQ(facts.clientHeight, 100);
  EXPECT_EQ(si::ClientPixels(normal).size(), 200u * 100u);
  EXPECT_FALSE(win::ShowWindow(normal, 12345));  // no such command

  // A child: its client area is what was asked for, inside its parent.
  win::HWND child =
      win::CreateWindowExA(0, TestClass, nullptr, WS_CHILD, 10, 20, 64, 32, normal, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  facts = si::DescribeWindow(child);
  EXPECT_EQ(facts.parent, normal);
  EXPECT_EQ(facts.clientWidth, 64);
  EXPECT_EQ(facts.clientHeight, 32);
  EXPECT_EQ(facts.placement.left, 10);
  EXPECT_EQ(facts.placement.top, 20);
  EXPECT_EQ(si::FindTopLevelWindow(), maximized);  // children are not top-level
  EXPECT_EQ(win::CreateWindowExA(0, TestClass, nullptr, WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_TLW_WITH_WSCHILD));

  // WS_VISIBLE shows it at creation.
  win::HWND visible = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_TRUE(si::DescribeWindow(visible).visible);
  EXPECT_TRUE(si::DescribeWindow(visible).updatePending);
}

}  // namespace
