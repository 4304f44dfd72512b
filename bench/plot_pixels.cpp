// The prime count plot's 15966 points drawn through the PutPixel hook into two
// memory device contexts (bitmap and window), beside writing the same pixels
// straight into a plain pixel array.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/prime_search.h"
#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "runtime/text_stream.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;  // every point of the plot lies inside
constexpr int kPoints = 15966;

struct Point {
  int16_t x, y;
};

int16_t Discard(rtl::TextRec& t) {
  t.BufPos = 0;
  return 0;
}

// The table of a search for 1646 primes, plotted as the program plots it;
// candidates beyond the table count as composite.
std::vector<Point> PlotPoints() {
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
  for (int32_t n = 0; n < kPoints; ++n) {
    long double count = n < app::PrimeTableSize ? app::NP[n] : 0;
    int64_t y = 480 - llrintl(count / 3.0L);
    int64_t x = llrintl(n / 4.0L) % 640;
    points.push_back({static_cast<int16_t>(x), static_cast<int16_t>(y)});
  }
  return points;
}

win::HDC MemoryTarget() {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::SelectObject(dc, win::CreateCompatibleBitmap(dc, kWidth, kHeight));
  return dc;
}

void SetUpDriver() {
  graph::MaxX = kWidth - 1;
  graph::MaxY = kHeight - 1;
  graph::MaxColor = 256;
  graph::Pal = new graph::RGBRec[256];
  std::copy(graph::DefaultColors, graph::DefaultColors + 256, graph::Pal);
  win::InitializeCriticalSection(&graph::GraphDrawing);
  graph::BitmapDC = MemoryTarget();
  graph::WinDC = MemoryTarget();
  graph::DrawToBitmap = graph::DrawToScreen = true;
  graph::StartXViewPort = graph::StartYViewPort = 0;
  graph::ViewWidth = graph::MaxX;
  graph::ViewHeight = graph::MaxY;
  graph::ClipPixels = true;
  graph::PutPixel = graph::PutPixel16Win32GUI;
  __atomic_store_n(&graph::GraphRunning, true, __ATOMIC_RELEASE);
}

void PlotThroughThePutPixelHook(benchmark::State& state) {
  std::vector<Point> points = PlotPoints();
  SetUpDriver();
  for (auto _ : state) {
    for (const Point& p : points) graph::PutPixel(p.x, p.y, 7);
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
  if (win::GetPixel(graph::BitmapDC, 0, 480) != RGB(168, 168, 168)) state.SkipWithError("point not drawn");
}

// The same points, viewport test included, as 32-bit pixels of one array.
void PlotIntoAPlainArray(benchmark::State& state) {
  std::vector<Point> points = PlotPoints();
  std::vector<uint32_t> pixels(kWidth * kHeight);
  for (auto _ : state) {
    for (const Point& p : points) {
      if (p.x >= 0 && p.x < kWidth && p.y >= 0 && p.y < kHeight) pixels[p.y * kWidth + p.x] = 0xA8A8A8u;
    }
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

}  // namespace

BENCHMARK(PlotThroughThePutPixelHook)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlotIntoAPlainArray)->Unit(benchmark::kMicrosecond);
