// Text that the program writes to a file or a pipe, as Linux keeps text: LF
// line ends and characters in the locale's encoding. The program writes a
// console's text: CR LF line ends, bytes in the ANSI code page (1252).
#pragma once

#include <cstddef>
#include <string>

namespace win::stand_in {

// The text of one write on the standard output (1) or error (2). A CR that ends
// a write is held back until the next write on the stream shows whether an LF
// follows it; the exit hook writes a CR still held.
std::string ToLinuxText(int stream, const char* bytes, size_t count);

// One byte of code page 1252 in the locale's encoding; "?" where the locale
// has no such character. Bytes below 0x80 stay as they are.
const std::string& LocaleTextOfAnsiByte(unsigned char byte);

}  // namespace win::stand_in
