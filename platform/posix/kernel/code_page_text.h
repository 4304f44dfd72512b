// The code pages' one table, for every part of the stand-in that turns their
// bytes into Unicode. Console characters as a terminal shows them: a byte in
// the code page it was written under becomes the UTF-8 of its glyph, one column
// wide, never a control code; and back, a typed character becomes its byte in
// the ANSI page. Text in the ANSI page converts as Windows converts it.
#pragma once

#include <cstdint>
#include <string>

namespace win::stand_in {

// The glyph of a console byte: pages 1252 and 437 as they are, every other page
// as 437; the control codes as the 437 glyphs (0x00 as a blank).
uint32_t GlyphOfConsoleByte(unsigned char byte, uint32_t codePage);
void AppendUtf8(std::string& out, uint32_t codePoint);
// A byte of code page 1252 as Windows converts it: the five bytes the page
// leaves undefined become the control characters of the same number.
uint32_t CodePointOfAnsiByte(unsigned char byte);
// A typed character in code page 1252, '?' when the page has none for it.
char AnsiCharOfCodePoint(uint32_t codePoint);

}  // namespace win::stand_in
