// The terminal's streams when a standard handle is not a console (a file or a
// pipe). Output goes to the handle as it is. Input is read a line at a time,
// waiting as long as the writer takes; nothing in it is a key press.
#pragma once

#include <cstdint>

#include "platform/win.h"

namespace crt {

extern bool OutputRedirected, InputRedirected;
// Reads whether the standard handles are consoles; once, at start-up.
void DetectRedirection();
// Where the terminal draws its cells: the standard output when it is a console;
// with only the input on a console, that console's screen, so that line input
// still shows what is typed while the program's text goes to the file.
win::HANDLE ScreenHandle();

void WriteRedirected(const char* bytes, int32_t count);
// The next line in the form a console line has: its text (up to size - 2 bytes
// per call; a longer line comes in pieces) and a line end of CR LF, whether it
// ended at LF, CR LF or a lone CR. A last line without a line end comes back
// without one; 0 once the input has ended.
int32_t ReadRedirectedLine(char* line, int32_t size);

}  // namespace crt
