// The plot through the PutPixel hook into a graph window of the memory host
// (off-screen bitmap and window surface, opened by InitGraph with detection),
// beside the plain pixel array.
#include <benchmark/benchmark.h>

#include "bench/plot_points.h"
#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/kernel/short_lock.h"
#include "platform/posix/testing/memory_display.h"

namespace {

using plot_bench::Point;

void PlotThroughThePutPixelHook(benchmark::State& state) {
  std::vector<Point> points = plot_bench::PlotPoints();
  win::stand_in::UseMemoryDisplay();
  if (plot_bench::OpenGraph() != 0) {
    state.SkipWithError("the graph window did not open");
    return;
  }
  for (auto _ : state) {
    for (const Point& p : points) graph::Hooks.PutPixel(p.x, p.y, 7);
  }
  state.SetItemsProcessed(state.iterations() * plot_bench::PointCount);
  if (win::GetPixel(graph::BitmapDC, 0, 480) != RGB(168, 168, 168)) state.SkipWithError("point not drawn");
}

// What the driver's one lock per pixel costs alone: the plain array write
// inside GraphDrawing, the floor under any PutPixel that takes it.
void PlainArrayUnderTheDrawingLock(benchmark::State& state) {
  constexpr int width = 1024, height = 768;
  std::vector<Point> points = plot_bench::PlotPoints();
  std::vector<uint32_t> pixels(width * height);
  win::CRITICAL_SECTION lock;
  win::InitializeCriticalSection(&lock);
  for (auto _ : state) {
    for (const Point& p : points) {
      win::EnterCriticalSection(&lock);
      if (p.x >= 0 && p.x < width && p.y >= 0 && p.y < height) pixels[p.y * width + p.x] = 0xA8A8A8u;
      win::LeaveCriticalSection(&lock);
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  win::DeleteCriticalSection(&lock);
  state.SetItemsProcessed(state.iterations() * plot_bench::PointCount);
}

// The floor of the two SetPixelV calls inside it, each under one DC's lock:
// two plain arrays, each written under its own lock of the kind the DCs hold.
void TwoPlainArraysUnderTheirLocks(benchmark::State& state) {
  constexpr int width = 1024, height = 768;
  std::vector<Point> points = plot_bench::PlotPoints();
  std::vector<uint32_t> bitmap(width * height), window(width * height);
  win::CRITICAL_SECTION lock;
  win::InitializeCriticalSection(&lock);
  win::stand_in::ShortLock bitmapLock, windowLock;
  auto put = [](win::stand_in::ShortLock& pixelLock, std::vector<uint32_t>& pixels, const Point& p) {
    std::lock_guard<win::stand_in::ShortLock> guard(pixelLock);
    if (p.x >= 0 && p.x < width && p.y >= 0 && p.y < height) pixels[p.y * width + p.x] = 0xA8A8A8u;
  };
  for (auto _ : state) {
    for (const Point& p : points) {
      win::EnterCriticalSection(&lock);
      put(bitmapLock, bitmap, p);
      put(windowLock, window, p);
      win::LeaveCriticalSection(&lock);
    }
    benchmark::DoNotOptimize(bitmap.data());
    benchmark::DoNotOptimize(window.data());
  }
  win::DeleteCriticalSection(&lock);
  state.SetItemsProcessed(state.iterations() * plot_bench::PointCount);
}

}  // namespace

BENCHMARK(PlainArrayUnderTheDrawingLock)->Unit(benchmark::kMicrosecond);
BENCHMARK(TwoPlainArraysUnderTheirLocks)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlotThroughThePutPixelHook)->Unit(benchmark::kMicrosecond);
BENCHMARK(plot_bench::PlotIntoAPlainArray)->Unit(benchmark::kMicrosecond);
