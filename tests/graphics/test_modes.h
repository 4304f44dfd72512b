// Mode records whose operations log what they are asked to do instead of
// drawing, so that the graphics core runs without a window.
#pragma once

#include <string>
#include <vector>

#include "graphics/graph.h"
#include "tests/support/child_process.h"

namespace test_modes {

extern std::vector<std::string> Log;  // e.g. "PutPixel 3 4 5", "OutTextXY 0 0 abc"
extern graph::RGBRec Palette[256];
extern int16_t InitResult;  // left in the result code by the mode's initialisation
extern int SavedVideoStates;

graph::TModeInfo FakeMode(int16_t driver, int16_t mode, uint16_t maxX, uint16_t maxY, int32_t colors);
// Empty lists, a video-state saver, an empty log: start-up before any driver registers.
void ResetGraphics();
// Three 16-colour modes of driver 9, then seven 256-colour modes of driver 10
// whose sizes in order are its modes 256, 257, 259, 241, 261, 246 and 263.
void RegisterModes();
// Registers one fake mode and opens it.
void OpenFakeMode(int32_t colors = 256);
// Runs body as a program, after the start-up of the run-time and of the
// graphics, in a child process. Its exit ends with "open" or "closed" on the
// standard output, for the graphics mode as GraphExitProc left it.
testing_support::ChildResult RunProgram(void (*body)());

}  // namespace test_modes
