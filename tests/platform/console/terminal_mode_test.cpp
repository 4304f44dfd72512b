// The terminal's mode during the run and after every way out, and which
// standard streams the terminal host serves.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/console/terminal_host.h"
#include "platform/win.h"
#include "runtime/control_break.h"
#include "runtime/system.h"
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
    for (ssize_t n; poll(&ready, 1, 100) == 1 && (n = read(master, buffer, sizeof buffer)) > 0;)
      bytes.append(buffer, static_cast<size_t>(n));
    return bytes;
  }
};

std::string ModeText(int fd) {
  termios mode;
  if (tcgetattr(fd, &mode) != 0) return "no terminal";
  return std::string(mode.c_lflag & ICANON ? "ICANON " : "") + (mode.c_lflag & ECHO ? "ECHO " : "") +
         (mode.c_lflag & ISIG ? "ISIG " : "") + (mode.c_iflag & IXON ? "IXON " : "") +
         (mode.c_iflag & ICRNL ? "ICRNL " : "");
}

void Report(const std::string& text) {
  if (write(1, text.data(), text.size()) < 0) _exit(90);
}

// The child's terminal and its way out, set before the fork.
int terminalFd = -1, typingFd = -1, onTerminal = -1;
void (*wayOut)() = nullptr;
volatile int zero = 0;

// The program's start on the terminal: its mode, then lines that the host
// batches into fewer writes, then the way out.
void RunOnTheTerminal() {
  rtl::InitializeUnits();
  win::stand_in::UseTerminalConsole(terminalFd, terminalFd);
  Report(ModeText(terminalFd) + "/");
  int writesBefore = win::stand_in::TerminalWriteCount();
  for (int i = 0; i < 50; ++i) {
    std::string line = "line " + std::to_string(i) + "\r\n";
    win::DWORD n;
    win::WriteFile(win::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<win::DWORD>(line.size()), &n,
                   nullptr);
  }
  Report(std::to_string(win::stand_in::TerminalWriteCount() - writesBefore) + "/");
  wayOut();
  rtl::DoExit();
}

TEST(TerminalMode, RawDuringTheRunAndRestoredWithTheOutputOnEveryWayOut) {
  const struct {
    const char* name;
    void (*end)();
    int exitCode, signal;
  } ways[] = {
      {"normal end", [] {}, 0, 0},
      {"run-time error", [] { rtl::RunError(201); }, 201, 0},
      // Written in machine code, so that the fault is the processor's.
      {"fault", [] { asm volatile("movl $1, (%0)" ::"r"(static_cast<intptr_t>(zero))); }, 216, 0},
      {"termination signal", [] { raise(SIGTERM); }, 128 + SIGTERM, 0},
      // Ctrl+C typed on the controlling terminal is still an interrupt, not a
      // key; it is taken at the next safe point.
      {"Ctrl+C",
       [] {
         if (write(typingFd, "\x03", 1) != 1) _exit(92);
         for (int i = 0; i < 2000; ++i) {
           win::Sleep(1);
           rtl::SafePoint(__builtin_frame_address(0));
         }
         _exit(94);
       },
       217, 0},
  };
  setenv("TERM", "xterm", 1);
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    Pty pty;
    std::string before = ModeText(pty.slave);
    EXPECT_EQ(before, "ICANON ECHO ISIG IXON ICRNL ");
    terminalFd = pty.slave;
    typingFd = pty.master;
    wayOut = way.end;
    auto r = RunInChild([] {
      setsid();
      if (ioctl(terminalFd, TIOCSCTTY, 0) != 0) _exit(91);
      static const rtl::ModuleTable runTimeOnly = {1, 0, {{rtl::SystemInit, nullptr}}};
      rtl::ProcessEntry(runTimeOnly, RunOnTheTerminal);
    });
    EXPECT_EQ(r.exitCode, way.exitCode) << r.out << r.err;
    EXPECT_EQ(r.signal, way.signal);
    ASSERT_EQ(r.out.substr(0, 6), "ISIG /");  // signals kept, nothing else
    EXPECT_LT(std::stoi(r.out.substr(6)), 50);
    EXPECT_EQ(ModeText(pty.slave), before);
    // All output shown, then (as xterm's entry says) colours reset and the cursor shown, last.
    std::string shown = pty.Drain();
    EXPECT_NE(shown.find("line 49"), std::string::npos);
    EXPECT_TRUE(shown.ends_with("\x1b(B\x1b[m\x1b[?12l\x1b[?25h"))
        << shown.substr(shown.size() - std::min<size_t>(shown.size(), 20));
  }
}

// Ctrl+C while the host waits for the terminal's cursor report: the way out
// already knows how to put the terminal back.
TEST(TerminalMode, InterruptedDuringStartUpLeavesTheTerminalAsItWas) {
  Pty pty;
  std::string before = ModeText(pty.slave);
  terminalFd = pty.slave;
  typingFd = pty.master;
  auto r = RunInChild([] {
    setsid();
    if (ioctl(terminalFd, TIOCSCTTY, 0) != 0) _exit(91);
    if (fork() == 0) {
      // The user presses Ctrl+C once the request is on the screen.
      std::string seen;
      char bytes[256];
      while (seen.find("\x1b[6n") == std::string::npos) {
        ssize_t n = read(typingFd, bytes, sizeof bytes);
        if (n <= 0) _exit(1);
        seen.append(bytes, static_cast<size_t>(n));
      }
      _exit(write(typingFd, "\x03", 1) == 1 ? 0 : 1);
    }
    setenv("TERM", "xterm", 1);
    static const rtl::ModuleTable runTimeOnly = {1, 0, {{rtl::SystemInit, nullptr}}};
    rtl::ProcessEntry(runTimeOnly, [] {
      rtl::InitializeUnits();
      win::stand_in::UseTerminalConsole(terminalFd, terminalFd);
      // The Ctrl+C is taken at the program's next safe point, as a key poll would.
      for (int i = 0; i < 200; ++i) {
        win::Sleep(10);
        rtl::SafePoint(__builtin_frame_address(0));
      }
      _exit(94);
    });
  });
  EXPECT_EQ(r.exitCode, 217) << r.out << r.err;
  EXPECT_EQ(ModeText(pty.slave), before);
}

// A key typed while the program waits for one comes at once; then the terminal hangs up.
TEST(TerminalMode, HangUpEndsTheProcessAsTheHangUpSignalDoes) {
  auto r = RunInChild(
      [] {
        int master, slave;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) _exit(91);
        win::stand_in::UseTerminalConsole(slave, slave);
        std::thread typist([master] {
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
          if (write(master, "k", 1) != 1) _exit(93);
        });
        win::INPUT_RECORD record;
        win::DWORD read = 0;
        win::HANDLE in = win::GetStdHandle(STD_INPUT_HANDLE);
        bool typed = win::ReadConsoleInputA(in, &record, 1, &read) && read == 1 && record.Event.KeyEvent.bKeyDown &&
                     record.Event.KeyEvent.uChar.AsciiChar == 'k';
        typist.join();
        if (!typed) _exit(94);
        close(master);
        for (int i = 0; i < 3; ++i) win::ReadConsoleInputA(in, &record, 1, &read);  // the key's release, then the end
        _exit(92);
      },
      "", 10);
  EXPECT_EQ(r.exitCode, 128 + SIGHUP);
}

// Output on a terminal and input a pipe: the terminal is asked for its cursor
// through the output and left in its mode. Input on a terminal and output a
// pipe: keys are served, nothing is drawn.
// Half on a terminal. Output elsewhere: the standard output is not the
// console, but the console's screen shows on the input's terminal, for line
// input's echo. Input elsewhere: keys typed at the terminal are not echoed into
// the program's text. Either way the terminal's mode is put back.
TEST(TerminalMode, HalfOnATerminal) {
  for (int stream : {1, 0}) {
    Pty pty;
    winsize size{30, 100, 0, 0};
    ioctl(pty.slave, TIOCSWINSZ, &size);
    ASSERT_EQ(write(pty.master, "\x1b[7;9R", 6), 6);  // the reply, before it is asked for
    std::string before = ModeText(pty.slave);
    terminalFd = pty.slave;
    onTerminal = stream;
    auto r = RunInChild([] {
      dup2(terminalFd, onTerminal);
      win::stand_in::StartTerminalHost();  // not the console this test process chose before the fork
      win::CONSOLE_SCREEN_BUFFER_INFO i{};
      win::DWORD count = 7;
      bool output = win::GetConsoleScreenBufferInfo(win::GetStdHandle(STD_OUTPUT_HANDLE), &i);
      bool input = win::GetNumberOfConsoleInputEvents(win::GetStdHandle(STD_INPUT_HANDLE), &count);
      win::HANDLE screen = win::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr);
      bool shown = win::GetConsoleScreenBufferInfo(screen, &i);
      std::string served = std::string(output ? "output " : "") + (input ? "input " : "") + (shown ? "screen " : "") +
                           std::to_string(i.dwSize.X) + "x" + std::to_string(i.dwSize.Y) + " at " +
                           std::to_string(i.dwCursorPosition.X) + "," + std::to_string(i.dwCursorPosition.Y) + " " +
                           ModeText(terminalFd);
      if (write(2, served.data(), served.size()) < 0) _exit(90);
      win::ExitProcess(0);
    });
    EXPECT_EQ(r.err,
              stream == 1 ? "output screen 100x30 at 8,6 ICANON ISIG IXON ICRNL " : "input screen 100x30 at 8,6 ISIG ");
    EXPECT_EQ(ModeText(pty.slave), before);
    EXPECT_FALSE(pty.Drain().empty());
  }
}

}  // namespace
