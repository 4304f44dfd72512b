// The prime search dialogue: its program-wide variables and the question loop.
#pragma once

#include <cstdint>

namespace app {

constexpr int32_t PrimeTableSize = 15928;

extern int32_t M, N, K, D, F, NUMP, LASTP, NUMOP;
extern int32_t NP[PrimeTableSize];

// Polled after every candidate; a key found ends the search and stays pending.
// The main routine points it at the terminal's KeyPressed.
extern bool (*KeyPoll)();

void PrimeSearchDialogue();
// One search for M primes, from candidate 2, writing a line per prime to Output.
void SearchPrimes();

}  // namespace app
