// The prime search dialogue: its program-wide variables and the question loop.
#pragma once

#include <cstdint>

namespace app {

constexpr int32_t PrimeTableSize = 15928;

extern int32_t M, N, K, D, F, NUMP, LASTP, NUMOP;
extern int32_t NP[PrimeTableSize];

void PrimeSearchDialogue();

}  // namespace app
