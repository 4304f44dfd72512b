// The terminal's streams when a standard handle is not a console (a file or a
// pipe): output goes to the handle unchanged, input is taken a line at a time,
// and the end of input counts as a key so that no wait outlives it.
#pragma once

#include <cstdint>

namespace crt {

extern bool OutputRedirected, InputRedirected;
// Reads whether the standard handles are consoles; once, at start-up.
void DetectRedirection();

void WriteRedirected(const char* bytes, int32_t count);
// Up to `size` bytes of the next line, its line end included; 0 at end of input.
int32_t ReadRedirectedLine(char* line, int32_t size);
// Never blocks: true once the input has ended, false while bytes may still come
// (lines read ahead are kept for the next line input).
bool RedirectedInputEnded();
// The next byte, waiting for it; #26 at end of input.
char ReadRedirectedByte();

}  // namespace crt
