// The output of the 1646-prime search, one write statement per line, through
// the terminal into the memory console and into a pseudo-terminal, beside one
// plain write of the same bytes to the same pseudo-terminal.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "console/crt_streams.h"
#include "console/screen_output.h"
#include "platform/posix/console/terminal_host.h"
#include "platform/posix/testing/memory_console.h"
#include "runtime/text_stream.h"

namespace {

std::vector<std::string> SearchOutput() {
  std::vector<std::string> lines;
  for (int n = 2; lines.size() < 1646; ++n) {
    bool prime = true;
    for (int d = 2; d * d <= n && prime; ++d) prime = n % d != 0;
    if (prime) lines.push_back(std::to_string(n) + " is PRIME!");
  }
  lines.push_back("LastP=13921 NumPtot=1646 NumOP=1088138");
  return lines;
}

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = SearchOutput();
  return lines;
}

void WriteSearchOutput() {
  for (const std::string& line : Lines()) {
    rtl::WriteShortStr(0, rtl::Output, rtl::ShortString(line));
    rtl::WriteLnEnd(rtl::Output);
  }
}

// A pseudo-terminal of the given size whose screen side is read as fast as it is written.
struct PseudoTerminal {
  int master = -1, slave = -1;
  std::atomic<bool> stop{false};
  std::atomic<long> received{0};
  std::thread reader;

  PseudoTerminal(int columns, int rows) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) std::abort();
    slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    winsize size{static_cast<unsigned short>(rows), static_cast<unsigned short>(columns), 0, 0};
    ioctl(slave, TIOCSWINSZ, &size);
    termios mode;
    tcgetattr(slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(slave, TCSANOW, &mode);
    reader = std::thread([this] {
      char buffer[65536];
      while (!stop) {
        pollfd ready{master, POLLIN, 0};
        if (poll(&ready, 1, 20) == 1) {
          ssize_t n = read(master, buffer, sizeof buffer);
          if (n > 0) received += n;
        }
      }
    });
  }
  ~PseudoTerminal() {
    stop = true;
    reader.join();
    close(slave);
    close(master);
  }
};

void StartTerminalStreams() {
  rtl::SysInitStdIO();
  crt::CrtInit();
}

void ThroughTheMemoryConsole(benchmark::State& state) {
  win::stand_in::UseMemoryConsole();
  StartTerminalStreams();
  for (auto _ : state) WriteSearchOutput();
}
BENCHMARK(ThroughTheMemoryConsole)->Unit(benchmark::kMillisecond);

// As an xterm-256color of state.range(0) x state.range(1) cells.
void ThroughTheTerminalHost(benchmark::State& state) {
  PseudoTerminal pty(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  setenv("TERM", "xterm-256color", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  win::stand_in::UseTerminalConsole(-1, pty.slave);
  StartTerminalStreams();
  int writesBefore = win::stand_in::TerminalWriteCount();
  for (auto _ : state) {
    WriteSearchOutput();
    win::stand_in::FlushTerminalConsole();
  }
  state.counters["terminal_writes_per_run"] =
      static_cast<double>(win::stand_in::TerminalWriteCount() - writesBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(ThroughTheTerminalHost)->Args({80, 24})->Args({200, 60})->Unit(benchmark::kMillisecond);

// The baseline: the same bytes in one write.
void OneRawWrite(benchmark::State& state) {
  PseudoTerminal pty(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::string bytes;
  for (const std::string& line : Lines()) bytes += line + "\r\n";
  for (auto _ : state) {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = write(pty.slave, bytes.data() + done, bytes.size() - done);
      if (n > 0) done += static_cast<size_t>(n);
    }
  }
}
BENCHMARK(OneRawWrite)->Args({80, 24})->Args({200, 60})->Unit(benchmark::kMillisecond);

}  // namespace
