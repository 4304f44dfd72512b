// The output of the 1646-prime search, one write statement per line, through
// the terminal into the memory console and into a pseudo-terminal, beside one
// plain write of the same bytes to the same pseudo-terminal.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/pseudo_terminal.h"
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
