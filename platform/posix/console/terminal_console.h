// Test and benchmark access to the terminal host: select it on given
// descriptors (a pseudo-terminal, say) instead of the standard ones.
#pragma once

namespace win::stand_in {

// Selects the terminal host as the active console, reading keys from inputFd
// and drawing on outputFd, each only if it is a terminal.
void UseTerminalConsole(int inputFd, int outputFd);
// Writes output that waits for its turn now.
void FlushTerminalConsole();
// How many write calls have reached the output terminal since the host started.
int TerminalWriteCount();

}  // namespace win::stand_in
