// The prime count plot's 15966 points, as the program computes them after a
// search for 1646 primes, and the baseline every plot benchmark is compared
// to: the same pixels written straight into a plain pixel array.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/prime_search.h"
#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "runtime/text_stream.h"

namespace plot_bench {

constexpr int PointCount = 15966;

struct Point {
  int16_t x, y;
};

inline int16_t Discard(rtl::TextRec& t) {
  t.BufPos = 0;
  return 0;
}

// Candidates beyond the table count as composite, as in the plot.
inline std::vector<Point> PlotPoints() {
  rtl::Assign(rtl::Output, "");
  rtl::Output.Mode = rtl::ModeOutput;
  rtl::Output.InOutFunc = Discard;
  rtl::Output.FlushFunc = Discard;
  app::M = 1646;
  app::LASTP = -1;
  app::NUMP = 0;
  app::NUMOP = 0;
  app::SearchPrimes();
  std::vector<Point> points;
  for (int32_t n = 0; n < PointCount; ++n) {
    long double count = n < app::PrimeTableSize ? app::NP[n] : 0;
    int64_t y = 480 - llrintl(count / 3.0L);
    int64_t x = llrintl(n / 4.0L) % 640;
    points.push_back({static_cast<int16_t>(x), static_cast<int16_t>(y)});
  }
  return points;
}

// InitGraph with detection, once per process (the benchmark library calls each
// benchmark several times); the result code. The host is chosen before.
inline int16_t OpenGraph() {
  static const int16_t result = [] {
    graph::Driver = graph::Win32GUI;
    graph::InitializeGraph();
    int16_t driver = 0, mode = 0;
    graph::InitGraph(driver, mode, "");
    return graph::GraphResult();
  }();
  return result;
}

// The viewport test included, as the driver's clipping does it.
inline void PlotIntoAPlainArray(benchmark::State& state) {
  constexpr int width = 1024, height = 768;
  std::vector<Point> points = PlotPoints();
  std::vector<uint32_t> pixels(width * height);
  for (auto _ : state) {
    for (const Point& p : points) {
      if (p.x >= 0 && p.x < width && p.y >= 0 && p.y < height) pixels[p.y * width + p.x] = 0xA8A8A8u;
    }
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * PointCount);
}

}  // namespace plot_bench
