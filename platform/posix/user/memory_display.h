// Test-only host of the window-manager stand-in: windows whose client area
// lives in memory, with the screen metrics a test chooses. Select it (or no
// display at all) before the program's start-up.
#pragma once

#include <vector>

#include "platform/posix/win_types.h"

namespace win::stand_in {

// Screen and frame metrics as GetSystemMetrics reports them.
struct DisplayMetrics {
  int screenWidth = 1024;       // SM_CXSCREEN
  int screenHeight = 768;       // SM_CYSCREEN
  int frameWidth = 4;           // SM_CXFRAME
  int frameHeight = 4;          // SM_CYFRAME
  int captionHeight = 19;       // SM_CYCAPTION
  int fullScreenWidth = 1024;   // SM_CXFULLSCREEN: client width of a maximised window
  int fullScreenHeight = 749;   // SM_CYFULLSCREEN
};
void UseMemoryDisplay(const DisplayMetrics& metrics = {});
// No display: window creation fails; the metrics still answer.
void UseNoDisplay(const DisplayMetrics& metrics = {});

}  // namespace win::stand_in
