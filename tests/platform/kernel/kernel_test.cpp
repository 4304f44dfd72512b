// The kernel stand-in as the run-time and the window driver rely on it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/posix/kernel/host_hooks.h"
#include "platform/win.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;

TEST(Files, TypesOfTheStandardHandles) {
  auto r = RunInChild([] {
    int fds[2];
    if (pipe(fds)) _exit(9);
    dup2(fds[1], 1);
    int file = open("/tmp", O_RDONLY);
    int disk = open("/proc/self/exe", O_RDONLY);
    dup2(disk, 0);
    dup2(open("/dev/null", O_WRONLY), 2);
    bool ok = win::GetFileType(win::GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE &&
              win::GetFileType(win::GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_DISK &&
              win::GetFileType(win::GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR;
    (void)file;
    _exit(ok ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
}

TEST(Files, WritingToAClosedPipeFailsAsNotConnectedAndDoesNotKill) {
  auto r = RunInChild([] {
    int fds[2];
    if (pipe(fds)) _exit(9);
    close(fds[0]);
    dup2(fds[1], 1);
    win::DWORD written = 7;
    bool failed = !win::WriteFile(win::GetStdHandle(STD_OUTPUT_HANDLE), "x", 1, &written, nullptr);
    _exit(failed && written == 0 && win::GetLastError() == ERROR_PIPE_NOT_CONNECTED ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.signal, 0);
}

TEST(Files, ReadAtEndOfInputSucceedsWithNothing) {
  auto r = RunInChild([] {
    char buffer[8];
    win::DWORD read = 5;
    bool ok = win::ReadFile(win::GetStdHandle(STD_INPUT_HANDLE), buffer, 8, &read, nullptr) && read == 0;
    _exit(ok ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
}

TEST(Handles, StaleAndForeignHandlesAreRefused) {
  int local = 0;
  win::DWORD code;
  EXPECT_FALSE(win::CloseHandle(&local));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(win::GetExitCodeThread(&local, &code));
  EXPECT_EQ(win::WaitForSingleObject(&local, 0), WAIT_FAILED);
  win::HANDLE thread = win::CreateThread(
      nullptr, 0, [](win::LPVOID) -> win::DWORD { return 3; }, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(win::WaitForSingleObject(thread, INFINITE), static_cast<win::DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(win::CloseHandle(thread));
  EXPECT_FALSE(win::CloseHandle(thread));
  EXPECT_FALSE(win::GetExitCodeThread(thread, &code));
}

std::atomic<bool> release{false};

TEST(Threads, ExitCodeIsStillActiveUntilTheThreadEnds) {
  win::DWORD id = 0;
  win::HANDLE thread = win::CreateThread(
      nullptr, 0,
      [](win::LPVOID) -> win::DWORD {
        while (!release) win::Sleep(1);
        win::ExitThread(42);
      },
      nullptr, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  win::DWORD code = 0;
  ASSERT_TRUE(win::GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, static_cast<win::DWORD>(STILL_ACTIVE));
  EXPECT_EQ(win::WaitForSingleObject(thread, 10), static_cast<win::DWORD>(WAIT_TIMEOUT));
  release = true;
  EXPECT_EQ(win::WaitForSingleObject(thread, INFINITE), static_cast<win::DWORD>(WAIT_OBJECT_0));
  ASSERT_TRUE(win::GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  win::CloseHandle(thread);
}

TEST(Threads, CriticalSectionIsRecursiveAndExcludesOthers) {
  static win::CRITICAL_SECTION section;
  static int counter = 0;
  win::InitializeCriticalSection(&section);
  win::EnterCriticalSection(&section);
  win::EnterCriticalSection(&section);  // the owner may enter again
  win::LeaveCriticalSection(&section);
  win::HANDLE thread = win::CreateThread(
      nullptr, 0,
      [](win::LPVOID) -> win::DWORD {
        for (int i = 0; i < 100000; ++i) {
          win::EnterCriticalSection(&section);
          ++counter;
          win::LeaveCriticalSection(&section);
        }
        return 0;
      },
      nullptr, 0, nullptr);
  win::LeaveCriticalSection(&section);
  for (int i = 0; i < 100000; ++i) {
    win::EnterCriticalSection(&section);
    ++counter;
    win::LeaveCriticalSection(&section);
  }
  win::WaitForSingleObject(thread, INFINITE);
  win::CloseHandle(thread);
  win::DeleteCriticalSection(&section);
  EXPECT_EQ(counter, 200000);
}

void WriteMark() {
  if (write(1, "hook ran", 8) < 0) _exit(3);
}

TEST(Process, TerminationSignalsRunTheExitHooksAndEndWith128PlusSignal) {
  for (int signal : {SIGTERM, SIGHUP, SIGQUIT}) {
    auto r = RunInChild([signal] {
      win::stand_in::RegisterExitHook(WriteMark);
      win::GetStdHandle(STD_OUTPUT_HANDLE);
      raise(signal);
      _exit(1);
    });
    EXPECT_EQ(r.exitCode, 128 + signal);
    EXPECT_EQ(r.out, "hook ran");
  }
}

std::atomic<int> controlEvents{0};
win::BOOL WINAPI TakeControlC(win::DWORD event) {
  controlEvents += event == CTRL_C_EVENT;
  return TRUE;
}
win::BOOL WINAPI DeclineControlC(win::DWORD) {
  return FALSE;
}

// Ctrl+C is sent from another thread while the main thread waits on an idle
// pipe: a handler that takes it ends the wait as an aborted read; when every
// handler declines, the process ends as by SIGINT, its exit hooks run.
TEST(Process, CtrlCGoesToTheHandlersAndEndsAWaitingRead) {
  const struct {
    win::PHANDLER_ROUTINE handler;
    int exitCode;
    const char* out;
  } cases[] = {{TakeControlC, 0, "aborted once"}, {DeclineControlC, 128 + SIGINT, "hook ran"}};
  for (const auto& c : cases) {
    win::PHANDLER_ROUTINE handler = c.handler;
    auto r = RunInChild([handler] {
      int fds[2];
      if (pipe(fds)) _exit(9);
      dup2(fds[0], 0);
      win::stand_in::RegisterExitHook(WriteMark);
      win::SetConsoleCtrlHandler(handler, TRUE);
      std::thread([] {
        usleep(100000);
        kill(getpid(), SIGINT);
      }).detach();
      char byte;
      win::DWORD read = 0;
      bool aborted = !win::ReadFile(win::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) &&
                     win::GetLastError() == ERROR_OPERATION_ABORTED && controlEvents == 1;
      if (write(1, aborted ? "aborted once" : "not aborted", aborted ? 12 : 11) < 0) _exit(8);
      _exit(0);
    });
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.out, c.out);
  }
}

TEST(Process, ExitProcessRunsTheHooksOnceAndEndsWithTheCode) {
  auto r = RunInChild([] {
    win::stand_in::RegisterExitHook(WriteMark);
    win::ExitProcess(17);
  });
  EXPECT_EQ(r.exitCode, 17);
  EXPECT_EQ(r.out, "hook ran");
}

TEST(Process, CodePagesAndMemoryReads) {
  EXPECT_EQ(win::GetACP(), 1252u);
  EXPECT_TRUE(win::SetConsoleOutputCP(1252));
  EXPECT_EQ(win::GetConsoleOutputCP(), 1252u);
  int value = 1234, copy = 0;
  win::SIZE_T read = 0;
  EXPECT_TRUE(win::ReadProcessMemory(win::GetCurrentProcess(), &value, &copy, sizeof copy, &read));
  EXPECT_EQ(copy, 1234);
  EXPECT_FALSE(win::ReadProcessMemory(win::GetCurrentProcess(), reinterpret_cast<void*>(16), &copy, 4, &read));
}

}  // namespace
