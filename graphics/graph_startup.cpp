// Start-up of the graphics interface and its exit procedure.
#include "graphics/graph.h"
#include "graphics/graph_driver.h"
#include "runtime/system.h"

namespace graph {

void (*ExitSave)();
GraphDriver Driver;

namespace {

constexpr const char* StartupFontNames[10] = {"TRIP", "LITT", "SANS", "GOTH", "SCRI",
                                              "SIMP", "TSCR", "LCOM", "EURO", "BOLD"};

void ReleaseStrokeBuffers() {
  for (int32_t i = 1; i <= InstalledFonts && i <= MaxFonts; ++i) {
    FontSlot& font = Fonts[i];
    if (!font.Instr) continue;
    delete[] font.Instr;  // allocated as new uint8_t[InstrLength]
    font.Instr = nullptr;
    font.InstrLength = 0;
  }
}

}  // namespace

void InitializeGraph() {
  IsGraphMode = false;
  ClearModeLists();
  SaveVideoState = nullptr;
  RestoreVideoState = nullptr;
  Driver.QueryAdapterInfo();
  InstalledFonts = 0;
  for (const char* name : StartupFontNames) InstallUserFont(name);
  ExitSave = rtl::ExitProc;
  rtl::ExitProc = GraphExitProc;
}

void GraphInit() {
  InitializeGraph();
}

// At a normal end the window goes with the process; only a run-time error closes it here.
void GraphExitProc() {
  rtl::ExitProc = ExitSave;
  if (IsGraphMode && (rtl::ErrorCode != 0 || rtl::ErrorAddr != nullptr)) Driver.CloseGraph();
  ReleaseStrokeBuffers();
  FreeModeLists();
}

}  // namespace graph
