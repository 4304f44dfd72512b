// The graphics start-up, the font table it fills, and its exit procedure in
// the run-time's exit chain.
#include <gtest/gtest.h>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "runtime/system.h"
#include "tests/graphics/test_modes.h"

namespace {

using namespace graph;

void EarlierExitProc() {}

TEST(GraphStartup, RegistersTenFontsJoinsTheExitChainAndReleasesTheLists) {
  rtl::ExitProc = EarlierExitProc;
  IsGraphMode = true;
  Driver = Win32GUI;
  GraphInit();
  EXPECT_EQ(std::make_tuple(IsGraphMode, rtl::ExitProc, SaveVideoState),
            std::make_tuple(false, GraphExitProc, SaveState));
  // User fonts take the slots after the start-up's, up to the sixteenth.
  _GraphResult = grInvalidMode;
  EXPECT_EQ(InstallUserFont("FIRST"), 11);
  EXPECT_EQ(GraphResult(), grOk);
  for (int16_t number = 12; number <= 15; ++number) EXPECT_EQ(InstallUserFont("MORE"), number);
  EXPECT_EQ(InstallUserFont("ALongFontName"), 16);
  EXPECT_EQ(InstallUserFont("SEVENTEENTH"), 0);
  EXPECT_EQ(std::make_tuple(GraphResult(), InstalledFonts), std::make_tuple(grError, 16));
  EXPECT_EQ(std::string(Fonts[16].Name.chars, Fonts[16].Name.length), "ALongFon");
  AddMode(test_modes::FakeMode(77, 1, 99, 99, 256));
  rtl::ExitProc = nullptr;
  GraphExitProc();
  EXPECT_EQ(std::make_tuple(rtl::ExitProc, ModeList, NewModeList.Modes[15]),
            std::make_tuple(EarlierExitProc, nullptr, nullptr));
}

void (*Ending)() = nullptr;

testing_support::ChildResult EndWithFakeModeOpen(void (*ending)()) {
  Ending = ending;
  return test_modes::RunProgram([] {
    AddMode(test_modes::FakeMode(77, 1, 319, 199, 256));
    int16_t driver = 77, mode = 1;
    InitGraph(driver, mode, "");
    Ending();
  });
}

TEST(GraphExitProc, ClosesGraphicsOnlyAfterARunTimeError) {
  auto normal = EndWithFakeModeOpen([] {});
  EXPECT_EQ(std::make_tuple(normal.exitCode, normal.out), std::make_tuple(0, "open"));
  auto halted = EndWithFakeModeOpen([] { rtl::Halt(3); });
  EXPECT_EQ(std::make_tuple(halted.exitCode, halted.out), std::make_tuple(3, "open"));
  auto failed = EndWithFakeModeOpen([] { rtl::RunError(201); });
  EXPECT_EQ(failed.exitCode, 201);
  EXPECT_EQ(failed.out.rfind("closedRuntime error 201 at $", 0), 0u) << failed.out;
}

}  // namespace
