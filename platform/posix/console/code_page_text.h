// Console characters as a terminal shows them: a byte in the code page it was
// written under becomes the UTF-8 of its glyph, one column wide, never a
// control code; and back, a typed character becomes its byte in the ANSI page.
#pragma once

#include <cstdint>
#include <string>

namespace win::stand_in {

// The glyph of a console byte: pages 1252 and 437 as they are, every other page
// as 437; the control codes as the 437 glyphs (0x00 as a blank).
uint32_t GlyphOfConsoleByte(unsigned char byte, uint32_t codePage);
void AppendUtf8(std::string& out, uint32_t codePoint);
// A typed character in code page 1252, '?' when the page has none for it.
char AnsiCharOfCodePoint(uint32_t codePoint);

}  // namespace win::stand_in
