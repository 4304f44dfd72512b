// The terminal host: the console drawn on a terminal and fed by its keys.
// Tests and benchmarks may select it on other descriptors (a pseudo-terminal, say).
#pragma once

namespace win::stand_in {

// Selects the terminal host on the standard descriptors, each only if it is a
// terminal; false when neither the input nor the output is one.
bool StartTerminalHost();
// Selects the terminal host as the active console, reading keys from inputFd
// and drawing on outputFd, each only if it is a terminal.
void UseTerminalConsole(int inputFd, int outputFd);
// Writes output that waits for its turn now.
void FlushTerminalConsole();
// How many write calls have reached the output terminal since the host started.
int TerminalWriteCount();

}  // namespace win::stand_in
