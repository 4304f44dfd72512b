// The search for 1646 primes with its output into a stream that drops the
// bytes, beside a plain loop doing the same trial divisions; and the search as
// the program runs it on a terminal, beside the plain loop writing its lines to
// the same kind of terminal.
#include "app/prime_search.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bench/pseudo_terminal.h"
#include "console/crt_streams.h"
#include "console/keyboard.h"
#include "platform/posix/console/terminal_host.h"
#include "runtime/text_stream.h"

namespace {

int16_t Discard(rtl::TextRec& t) {
  t.BufPos = 0;
  return 0;
}

constexpr int32_t Primes = 1646, Operations = 1088138;

void StartSearch() {
  app::M = Primes;
  app::LASTP = -1;
  app::NUMP = 0;
  app::NUMOP = 0;
}

void SearchThroughTheProgram(benchmark::State& state) {
  rtl::Assign(rtl::Output, "");
  rtl::Output.Mode = rtl::ModeOutput;
  rtl::Output.InOutFunc = Discard;
  rtl::Output.FlushFunc = Discard;
  for (auto _ : state) {
    StartSearch();
    app::SearchPrimes();
    benchmark::DoNotOptimize(app::NUMOP);
  }
  if (app::NUMOP != Operations) state.SkipWithError("wrong operation count");
}

// The same divisions (long double quotient, product test, no early exit) and
// counts, each prime's line formatted and handed to `put`.
template <typename PutLine>
int32_t PlainSearch(PutLine put) {
  int32_t found = 0, ops = 0;
  char line[32];
  for (int32_t n = 2; found < Primes; ++n) {
    int32_t root = static_cast<int32_t>(sqrtl(static_cast<long double>(n)));
    int32_t f = root;
    for (int32_t k = 2; k <= root; ++k) {
      int32_t d = static_cast<int32_t>(static_cast<long double>(n) / static_cast<long double>(k));
      if (k * d == n) f = 0;
    }
    if (f == root) {
      ++found;
      put(line, snprintf(line, sizeof line, "%d is PRIME!\r\n", n));
    }
    ops += root;
  }
  return ops;
}

// The prime lines into a buffer that is thrown away.
void PlainLoop(benchmark::State& state) {
  for (auto _ : state) {
    int32_t ops = PlainSearch([](const char* line, int length) {
      benchmark::DoNotOptimize(line);
      benchmark::DoNotOptimize(length);
    });
    benchmark::DoNotOptimize(ops);
    if (ops != Operations) state.SkipWithError("wrong operation count");
  }
}

// As the program searches on a 100x30 xterm: the key poll after every
// candidate, the keys and the lines through the terminal host.
void SearchOnATerminal(benchmark::State& state) {
  PseudoTerminal pty(100, 30);
  setenv("TERM", "xterm-256color", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  win::stand_in::UseTerminalConsole(pty.slave, pty.slave);
  rtl::SysInitStdIO();
  crt::CrtInit();
  app::KeyPoll = crt::KeyPressed;
  for (auto _ : state) {
    StartSearch();
    app::SearchPrimes();
    win::stand_in::FlushTerminalConsole();
  }
  app::KeyPoll = nullptr;
  if (app::NUMOP != Operations || app::NUMP != Primes) state.SkipWithError("the search did not run to its count");
}

// The baseline: the plain loop writing each line to the same kind of terminal, one write per line.
void PlainLoopOnATerminal(benchmark::State& state) {
  PseudoTerminal pty(100, 30);
  for (auto _ : state) {
    int32_t ops = PlainSearch([&](const char* line, int length) {
      if (write(pty.slave, line, static_cast<size_t>(length)) != length) std::abort();
    });
    if (ops != Operations) state.SkipWithError("wrong operation count");
  }
}

}  // namespace

BENCHMARK(SearchThroughTheProgram)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchOnATerminal)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoopOnATerminal)->Unit(benchmark::kMillisecond);
