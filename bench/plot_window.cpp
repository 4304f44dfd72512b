// The plot through the PutPixel hook into a real X11 window (DISPLAY must name
// an X server, Xvfb will do), beside the plain pixel array and beside what a
// program would do alone: the points put into an XImage of the window's size,
// sent once. The counters tell how many server requests presenting the
// drawing took: batches, not pixels.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "bench/plot_points.h"
#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/testing/memory_display.h"
#include "platform/posix/testing/x11_display.h"

// After the program's headers, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

// A window of the graph window's size on its own connection, and an image of
// it in the server's format; each round writes the points into the image and
// sends the whole image with one XPutImage.
void PlotIntoAnXImageSentOnce(benchmark::State& state) {
  std::vector<Point> points = plot_bench::PlotPoints();
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    state.SkipWithError("DISPLAY must name an X server");
    return;
  }
  const int width = 640, height = 480;
  int screen = DefaultScreen(display);
  Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, 0, BlackPixel(display, screen));
  XMapWindow(display, window);
  GC gc = XCreateGC(display, window, 0, nullptr);
  XImage* image = XCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap, 0,
                               nullptr, width, height, 32, 0);
  image->data = static_cast<char*>(calloc(static_cast<size_t>(image->bytes_per_line) * height, 1));
  XSync(display, False);
  for (auto _ : state) {
    for (const Point& p : points) {
      if (p.x >= 0 && p.x < width && p.y >= 0 && p.y < height) XPutPixel(image, p.x, p.y, 0xA8A8A8u);
    }
    XPutImage(display, window, gc, image, 0, 0, 0, 0, width, height);
    XFlush(display);
  }
  XSync(display, False);
  state.SetItemsProcessed(state.iterations() * plot_bench::PointCount);
  XDestroyImage(image);
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
}

}  // namespace

BENCHMARK(PlotThroughThePutPixelHook)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlotIntoAnXImageSentOnce)->Unit(benchmark::kMicrosecond);
BENCHMARK(plot_bench::PlotIntoAPlainArray)->Unit(benchmark::kMicrosecond);
