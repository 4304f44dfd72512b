// The prime count plot: the second half of the main routine.
#pragma once

#include <cstdint>

namespace app {

extern int16_t GD, GM, ERRCODE;

// Waits for a key, opens graphics, plots NP and the signature, waits for a line.
[[noreturn]] void PrimeCountPlot();

}  // namespace app
