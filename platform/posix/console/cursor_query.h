// Where the terminal's cursor stands at start-up, asked with the entry's
// cursor report request; key bytes that arrive with the answer are kept.
#pragma once

#include <string>

#include "platform/posix/win_types.h"

namespace win::stand_in {

// The cursor of the output terminal, 0-based. The terminal's input may be ours
// (`servesIn`), or only the output descriptor may be open for reading. Without
// an answer (or a request) the output goes on at the bottom, as after a shell's prompt.
COORD StartCursor(int in, int out, bool servesIn, const std::string& request, int width, int height, std::string& keys);

}  // namespace win::stand_in
