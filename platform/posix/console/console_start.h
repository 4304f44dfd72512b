// The console's part of the stand-in's start-up: the standard streams it
// serves read and write through the screen model, and the terminal host starts
// when the program first uses the console, unless a test selected another host.
#pragma once

namespace win::stand_in {

// Once is enough; later calls change nothing.
void StartConsole();

}  // namespace win::stand_in
