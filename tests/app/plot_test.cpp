// The whole program through the memory console and display: the window's
// pixels after the plot are exactly the plotted points and the signature.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "app/main_routine.h"
#include "graphics/window_driver/win32gui.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/testing/memory_console.h"
#include "platform/posix/testing/memory_display.h"
#include "tests/support/child_process.h"

namespace {

namespace mem = win::stand_in;
using Pixels = std::map<std::pair<int, int>, win::COLORREF>;

constexpr win::COLORREF Grey = 0x00A8A8A8, White = 0x00FFFFFF;

// At exit: the client size, then every pixel that is not black.
void DumpWindow() {
  win::HWND window = mem::FindTopLevelWindow("Graph window application");
  mem::WindowFacts facts = mem::DescribeWindow(window);
  std::vector<win::COLORREF> pixels = mem::ClientPixels(window);
  std::ostringstream out;
  out << facts.clientWidth << ' ' << facts.clientHeight << '\n';
  for (size_t i = 0; i < pixels.size(); ++i)
    if (pixels[i] != 0) out << i % facts.clientWidth << ' ' << i / facts.clientWidth << ' ' << pixels[i] << '\n';
  std::string text = out.str();
  for (size_t done = 0; done < text.size();) {
    ssize_t n = write(1, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

struct Window {
  int exitCode = -1, width = 0, height = 0;
  Pixels lit;
};

// Each answer is typed when the program asks for it.
Window RunProgram(const std::vector<std::string>& answers) {
  auto r = testing_support::RunInChild([answers] {
    mem::UseMemoryConsole();
    mem::UseMemoryDisplay();
    for (const std::string& answer : answers) mem::TypeWhenWaiting(answer);
    mem::TypeWhenWaiting("\r");  // the key that opens the plot; it also ends the last line
    mem::RegisterExitHook(DumpWindow);
    rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
  });
  Window window;
  window.exitCode = r.exitCode;
  std::istringstream in(r.out);
  in >> window.width >> window.height;
  int x, y;
  win::COLORREF colour;
  while (in >> x >> y >> colour) window.lit[{x, y}] = colour;
  return window;
}

// The plot of a table holding the running counts of the primes found.
Pixels ExpectedPlot(int primesFound) {
  std::map<int, int> counts;
  for (int n = 2, found = 0; found < primesFound; ++n) {
    bool prime = true;
    for (int d = 2; d * d <= n && prime; ++d) prime = n % d != 0;
    if (prime) counts[n] = ++found;
  }
  Pixels plot;
  for (int n = 0; n <= 15965; ++n) {
    int count = counts.count(n) ? counts[n] : 0;
    int y = 480 - static_cast<int>(std::nearbyint(count / 3.0));
    int x = static_cast<int>(std::nearbyint(n / 4.0)) % 640;
    if (y >= 0) plot[{x, y}] = Grey;
  }
  const char* signature = "X.Plotmaker";
  for (int i = 0; i < 11; ++i)
    for (int gy = 0; gy < 8; ++gy)
      for (int gx = 0; gx < 8; ++gx)
        if (graph::DefaultFontData[static_cast<uint8_t>(signature[i]) * 64 + gy * 8 + gx])
          plot[{8 * i + gx, gy}] = White;
  return plot;
}

TEST(Plot, TenPrimesGivePointsAndTheSignatureAndNothingElse) {
  Window window = RunProgram({"10\r", "0\r"});
  EXPECT_EQ(window.exitCode, 0);
  ASSERT_GT(window.height, 480);
  ASSERT_GE(window.width, 640);
  EXPECT_EQ(window.lit, ExpectedPlot(10));
  EXPECT_EQ(window.lit[std::make_pair(7, 477)], Grey);  // 29, the tenth prime
}

TEST(Plot, WithNoSearchTheTableIsOneGreyRow) {
  Window window = RunProgram({"0\r"});
  EXPECT_EQ(window.exitCode, 0);
  EXPECT_EQ(window.lit, ExpectedPlot(0));
  int greyRow = 0;
  for (const auto& [at, colour] : window.lit) greyRow += colour == Grey && at.second == 480;
  EXPECT_EQ(greyRow, 640);
}

}  // namespace
