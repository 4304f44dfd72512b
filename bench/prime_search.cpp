// The search for 1646 primes with its output into a stream that drops the
// bytes, beside a plain loop doing the same trial divisions.
#include "app/prime_search.h"

#include <benchmark/benchmark.h>

#include <cmath>

#include "runtime/text_stream.h"

namespace {

int16_t Discard(rtl::TextRec& t) {
  t.BufPos = 0;
  return 0;
}

void SearchThroughTheProgram(benchmark::State& state) {
  rtl::Assign(rtl::Output, "");
  rtl::Output.Mode = rtl::ModeOutput;
  rtl::Output.InOutFunc = Discard;
  rtl::Output.FlushFunc = Discard;
  for (auto _ : state) {
    app::M = 1646;
    app::LASTP = -1;
    app::NUMP = 0;
    app::NUMOP = 0;
    app::SearchPrimes();
    benchmark::DoNotOptimize(app::NUMOP);
  }
  if (app::NUMOP != 1088138) state.SkipWithError("wrong operation count");
}

// The same divisions (long double quotient, product test, no early exit) and
// counts, with the prime lines formatted into a buffer that is thrown away.
void PlainLoop(benchmark::State& state) {
  for (auto _ : state) {
    int32_t found = 0, ops = 0;
    char line[32];
    for (int32_t n = 2; found < 1646; ++n) {
      int32_t root = static_cast<int32_t>(sqrtl(static_cast<long double>(n)));
      int32_t f = root;
      for (int32_t k = 2; k <= root; ++k) {
        int32_t d = static_cast<int32_t>(static_cast<long double>(n) / static_cast<long double>(k));
        if (k * d == n) f = 0;
      }
      if (f == root) {
        ++found;
        benchmark::DoNotOptimize(snprintf(line, sizeof line, "%d is PRIME!\r\n", n));
      }
      ops += root;
    }
    benchmark::DoNotOptimize(ops);
    if (ops != 1088138) state.SkipWithError("wrong operation count");
  }
}

}  // namespace

BENCHMARK(SearchThroughTheProgram)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond);
