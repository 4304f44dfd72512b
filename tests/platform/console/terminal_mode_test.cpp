// The terminal's mode during the run and after every way out, and which
// standard streams the terminal host serves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/console/terminal_console.h"
#include "platform/win.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;

struct Pty {
  int master = -1, slave = -1;
  Pty() {
    winsize size{24, 80, 0, 0};
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) abort();
  }
  ~Pty() {
    close(master);
    close(slave);
  }
  // What the program wrote to the terminal.
  std::string Drain() const {
    std::string bytes;
    char buffer[4096];
    pollfd ready{master, POLLIN, 0};
    while (poll(&ready, 1, 100) == 1) {
      ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
  }
};

std::string ModeText(int fd) {
  termios mode;
  if (tcgetattr(fd, &mode) != 0) return "no terminal";
  std::string text;
  text += mode.c_lflag & ICANON ? "ICANON " : "";
  text += mode.c_lflag & ECHO ? "ECHO " : "";
  text += mode.c_lflag & ISIG ? "ISIG " : "";
  text += mode.c_iflag & IXON ? "IXON " : "";
  text += mode.c_iflag & ICRNL ? "ICRNL " : "";
  return text;
}

void Report(const std::string& text) {
  if (write(1, text.data(), text.size()) < 0) _exit(90);
}

constexpr char Restore[] = "\x1b[0m\x1b[?25h";

TEST(TerminalMode, RawDuringTheRunAndRestoredByExitProcess) {
  Pty pty;
  std::string before = ModeText(pty.slave);
  EXPECT_EQ(before, "ICANON ECHO ISIG IXON ICRNL ");
  auto r = RunInChild([&] {
    win::stand_in::UseTerminalConsole(pty.slave, pty.slave);
    Report(ModeText(pty.slave));
    win::DWORD n;
    win::WriteFile(win::GetStdHandle(STD_OUTPUT_HANDLE), "bye", 3, &n, nullptr);
    win::ExitProcess(3);
  });
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "ISIG ");
  EXPECT_EQ(ModeText(pty.slave), before);
  std::string shown = pty.Drain();
  ASSERT_GE(shown.size(), sizeof Restore - 1);
  EXPECT_NE(shown.find("bye"), std::string::npos);
  // Colours reset and the cursor shown last, after the cursor was put where the output ended.
  EXPECT_EQ(shown.substr(shown.size() - (sizeof Restore - 1)), Restore);
}

TEST(TerminalMode, RestoredAfterTerminationSignalAndInterruptKey) {
  {
    Pty pty;
    std::string before = ModeText(pty.slave);
    auto r = RunInChild([&] {
      win::stand_in::UseTerminalConsole(pty.slave, pty.slave);
      raise(SIGTERM);
      _exit(5);
    });
    EXPECT_EQ(r.exitCode, 128 + SIGTERM);
    EXPECT_EQ(ModeText(pty.slave), before);
    std::string shown = pty.Drain();
    EXPECT_NE(shown.find(Restore), std::string::npos);
  }
  // Ctrl+C typed on the program's controlling terminal is still an interrupt.
  Pty pty;
  std::string before = ModeText(pty.slave);
  auto r = RunInChild([&] {
    setsid();
    if (ioctl(pty.slave, TIOCSCTTY, 0) != 0) _exit(91);
    // As the run-time does; the interrupt then reaches the filter, which lets it end the process.
    win::SetUnhandledExceptionFilter([](win::EXCEPTION_POINTERS*) -> win::LONG { return EXCEPTION_CONTINUE_SEARCH; });
    win::stand_in::UseTerminalConsole(pty.slave, pty.slave);
    if (write(pty.master, "\x03", 1) != 1) _exit(92);
    for (int i = 0; i < 2000; ++i) {
      win::DWORD count = 0;
      win::GetNumberOfConsoleInputEvents(win::GetStdHandle(STD_INPUT_HANDLE), &count);
      if (count > 0) _exit(93);  // delivered as a key instead
      win::Sleep(1);
    }
    _exit(94);
  });
  EXPECT_EQ(r.signal, SIGINT) << "exit code " << r.exitCode;
  EXPECT_EQ(ModeText(pty.slave), before);
}

TEST(TerminalMode, OutputWaitingForItsTurnIsWrittenAtExit) {
  Pty pty;
  auto r = RunInChild([&] {
    win::stand_in::UseTerminalConsole(pty.slave, pty.slave);
    int writesBefore = win::stand_in::TerminalWriteCount();
    for (int i = 0; i < 50; ++i) {
      std::string line = "line " + std::to_string(i) + "\r\n";
      win::DWORD n;
      win::WriteFile(win::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<win::DWORD>(line.size()), &n,
                     nullptr);
    }
    Report(std::to_string(win::stand_in::TerminalWriteCount() - writesBefore));
    win::ExitProcess(0);
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_LT(std::stoi(r.out), 50);
  std::string shown = pty.Drain();
  EXPECT_NE(shown.find("line 0"), std::string::npos);
  EXPECT_NE(shown.find("line 49"), std::string::npos);
}

TEST(TerminalMode, HangUpEndsTheProcessAsTheHangUpSignalDoes) {
  auto r = RunInChild(
      [] {
        int master, slave;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) _exit(91);
        win::stand_in::UseTerminalConsole(slave, slave);
        close(master);
        win::INPUT_RECORD record;
        win::DWORD read = 0;
        win::ReadConsoleInputA(win::GetStdHandle(STD_INPUT_HANDLE), &record, 1, &read);
        _exit(92);
      },
      "", 10);
  EXPECT_EQ(r.exitCode, 129);
  EXPECT_EQ(r.signal, 0);
}

TEST(TerminalSelection, StreamsServedByWhatIsATerminal) {
  // Pipes only: no console, plain files.
  auto none = RunInChild([] {
    win::CONSOLE_SCREEN_BUFFER_INFO info;
    bool ok = win::stand_in::ActiveConsole() == nullptr &&
              !win::GetConsoleScreenBufferInfo(win::GetStdHandle(STD_OUTPUT_HANDLE), &info) &&
              win::GetFileType(win::GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
    _exit(ok ? 0 : 1);
  });
  EXPECT_EQ(none.exitCode, 0);
  // Output on a terminal, input a pipe: the terminal is asked for its cursor
  // through the output and left in its mode.
  {
    Pty pty;
    winsize size{30, 100, 0, 0};
    ioctl(pty.slave, TIOCSWINSZ, &size);
    if (write(pty.master, "\x1b[7;9R", 6) != 6) FAIL();
    std::string before = ModeText(pty.slave);
    auto r = RunInChild([&] {
      dup2(pty.slave, 1);
      win::CONSOLE_SCREEN_BUFFER_INFO info{};
      win::DWORD count;
      bool ok = win::GetConsoleScreenBufferInfo(win::GetStdHandle(STD_OUTPUT_HANDLE), &info) &&
                !win::GetNumberOfConsoleInputEvents(win::GetStdHandle(STD_INPUT_HANDLE), &count) &&
                win::GetFileType(win::GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_PIPE;
      std::string text = std::to_string(info.dwSize.X) + "x" + std::to_string(info.dwSize.Y) + " at " +
                         std::to_string(info.dwCursorPosition.X) + "," + std::to_string(info.dwCursorPosition.Y);
      if (write(2, text.data(), text.size()) < 0) _exit(90);
      win::ExitProcess(ok ? 0 : 1);
    });
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "100x30 at 8,6");
    EXPECT_EQ(ModeText(pty.slave), before);
  }
  // Input on a terminal, output a pipe: keys served, nothing drawn on the terminal.
  Pty pty;
  auto r = RunInChild([&] {
    dup2(pty.slave, 0);
    win::CONSOLE_SCREEN_BUFFER_INFO info;
    win::DWORD count = 7;
    bool ok = !win::GetConsoleScreenBufferInfo(win::GetStdHandle(STD_OUTPUT_HANDLE), &info) &&
              win::GetNumberOfConsoleInputEvents(win::GetStdHandle(STD_INPUT_HANDLE), &count) && count == 0 &&
              win::GetFileType(win::GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
    Report("plain");
    win::ExitProcess(ok ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "plain");
  EXPECT_EQ(pty.Drain(), "");
}

}  // namespace
