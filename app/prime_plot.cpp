// The prime count plot: the table of running prime counts as grey points in
// the graph window, and a signature.
#include "app/prime_plot.h"

#include <cmath>

#include "app/prime_search.h"
#include "console/keyboard.h"
#include "graphics/graph.h"
#include "runtime/system.h"
#include "runtime/text_stream.h"

namespace app {

int16_t GD, GM, ERRCODE;

namespace {

constexpr int32_t PlotPoints = 15966;
constexpr uint16_t Grey = 7;

// Entries past the table have never been examined: they count as 0.
int32_t CountAt(int32_t n) {
  return n < PrimeTableSize ? NP[n] : 0;
}

int16_t Low16(int64_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(value)));
}

// With input from a file or a pipe no key can come: the wait ends after its first delay.
void WaitForKey() {
  do crt::Delay(10);
  while (crt::KeysCanCome() && !crt::KeyPressed());
}

void ReportGraphResult() {
  rtl::TextRec& out = rtl::GetOutput();
  rtl::WriteShortStr(0, out, "GRAPH errcode=");
  rtl::IOCheck();
  rtl::WriteSInt(0, out, ERRCODE);
  rtl::IOCheck();
  rtl::WriteEnd(out);
  rtl::IOCheck();
}

void PlotCounts() {
  for (N = 0; N < PlotPoints; ++N) {
    int64_t y = 480 - std::llrint(static_cast<long double>(CountAt(N)) / 3.0L);
    int64_t x = std::llrint(static_cast<long double>(N) / 4.0L) % 640;
    graph::Hooks.PutPixel(Low16(x), Low16(y), Grey);
  }
}

void ReadFinalLine() {
  rtl::TextRec& in = rtl::GetInput();
  rtl::ReadEnd(in);
  rtl::IOCheck();
  rtl::ReadLnEnd(in);
  rtl::IOCheck();
}

}  // namespace

void PrimeCountPlot() {
  WaitForKey();
  GD = 0;
  graph::InitGraph(GD, GM, "");
  ERRCODE = graph::GraphResult();
  ReportGraphResult();
  PlotCounts();
  graph::OutText("X.Plotmaker");
  ReadFinalLine();
  rtl::ExitCode = 0;
  rtl::DoExit();
}

}  // namespace app
