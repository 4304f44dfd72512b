// The plot through the PutPixel hook into a real X11 window (DISPLAY must name
// an X server, Xvfb will do), beside the plain pixel array. The counters tell
// how many server requests presenting the drawing took: batches, not pixels.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "bench/plot_points.h"
#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/testing/memory_display.h"
#include "platform/posix/testing/x11_display.h"

namespace {

using plot_bench::Point;

void PlotThroughThePutPixelHook(benchmark::State& state) {
  std::vector<Point> points = plot_bench::PlotPoints();
  win::stand_in::CountWindowEvents();
  if (plot_bench::OpenGraph() != 0) {
    state.SkipWithError("no graph window: DISPLAY must name an X server");
    return;
  }
  // Whatever is still being presented from an earlier run is not counted.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  win::stand_in::X11PresentCounts before = win::stand_in::PresentCounts();
  for (auto _ : state) {
    for (const Point& p : points) graph::Hooks.PutPixel(p.x, p.y, 7);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  win::stand_in::X11PresentCounts after = win::stand_in::PresentCounts();
  double pixelsDrawn = static_cast<double>(state.iterations()) * plot_bench::PointCount;
  state.SetItemsProcessed(state.iterations() * plot_bench::PointCount);
  state.counters["server_requests"] = static_cast<double>(after.requests - before.requests);
  state.counters["images_sent"] = static_cast<double>(after.images - before.images);
  state.counters["requests_per_pixel"] = static_cast<double>(after.requests - before.requests) / pixelsDrawn;
}

}  // namespace

BENCHMARK(PlotThroughThePutPixelHook)->Unit(benchmark::kMicrosecond);
BENCHMARK(plot_bench::PlotIntoAPlainArray)->Unit(benchmark::kMicrosecond);
