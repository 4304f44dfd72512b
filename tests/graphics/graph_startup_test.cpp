// The graphics start-up and its exit procedure in the run-time's exit chain.
#include <gtest/gtest.h>

#include "graphics/graph.h"
#include "graphics/window_driver/win32gui.h"
#include "runtime/system.h"
#include "tests/graphics/test_modes.h"
#include "tests/support/child_process.h"

namespace {

using namespace graph;

void EarlierExitProc() {}

TEST(GraphStartup, RegistersFontNamesJoinsTheExitChainAndReleasesTheLists) {
  rtl::ExitProc = EarlierExitProc;
  OnGraphWindowCreation = [] {};
  IsGraphMode = true;
  GraphInit();
  EXPECT_EQ(std::make_tuple(IsGraphMode, rtl::ExitProc, ExitSave, OnGraphWindowCreation),
            std::make_tuple(false, GraphExitProc, EarlierExitProc, nullptr));
  EXPECT_EQ(std::make_tuple(SaveVideoState, RestoreVideoState), std::make_tuple(SaveState, RestoreState));
  std::string names;
  for (int i = 1; i <= InstalledFonts; ++i) names += std::string(Fonts[i].Name.chars, Fonts[i].Name.length) + " ";
  EXPECT_EQ(names, "TRIP LITT SANS GOTH SCRI SIMP TSCR LCOM EURO BOLD ");
  EXPECT_EQ(InstallUserFont("MINE"), 11);

  AddMode(test_modes::FakeMode(77, 1, 99, 99, 256));
  rtl::ExitProc = nullptr;
  GraphExitProc();  // the leak checker sees any node left unreleased
  EXPECT_EQ(std::make_tuple(rtl::ExitProc, ModeList, NewModeList.Modes[15]),
            std::make_tuple(EarlierExitProc, nullptr, nullptr));
}

rtl::Procedure ObserverSave;
// Installed before the graphics start-up, so it runs after GraphExitProc.
void ReportAtExit() {
  rtl::ExitProc = ObserverSave;
  rtl::WriteShortStr(0, rtl::StdOut, IsGraphMode ? "open" : "closed");
}
const rtl::ModuleTable WithGraphics = {6,
                                       0,
                                       {{rtl::SystemInit, nullptr},
                                        {rtl::InternalResourcesInit, nullptr},
                                        {rtl::DosServicesInit, nullptr},
                                        {nullptr, rtl::ObjectsFinal},
                                        {[] { ObserverSave = rtl::ExitProc, rtl::ExitProc = ReportAtExit; }, nullptr},
                                        {GraphInit, nullptr}}};
void (*Ending)() = nullptr;

testing_support::ChildResult EndWithFakeModeOpen(void (*ending)()) {
  Ending = ending;
  return testing_support::RunInChild([] {
    rtl::ProcessEntry(WithGraphics, [] {
      rtl::InitializeUnits();
      AddMode(test_modes::FakeMode(77, 1, 319, 199, 256));
      int16_t driver = 77, mode = 1;
      InitGraph(driver, mode, "");
      if (GraphResult() != grOk || !IsGraphMode) rtl::Halt(99);
      Ending();
      rtl::DoExit();
    });
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
