// Console cells in the encoding of the user's locale, and typed bytes back:
// each console byte's glyph as the locale writes it, "?" where the locale has
// no character for it or the terminal would not give it exactly one column.
#pragma once

#include <cstdint>
#include <string>

namespace win::stand_in {

struct LocaleText {
  bool utf8 = true;
  // The bytes of each console byte's glyph: code page 437 and code page 1252.
  std::string oem[256], ansi[256];
  // An 8-bit locale's characters 0x80 to 0xFF as code points; 0 where none.
  uint32_t eightBit[128] = {};

  const std::string& Glyph(unsigned char byte, uint32_t codePage) const {
    return codePage == 1252 ? ansi[byte] : oem[byte];
  }
};

// The locale of the environment (LC_ALL, LC_CTYPE, LANG), or `name` when given.
void LoadLocaleText(LocaleText& text, const char* name = nullptr);

}  // namespace win::stand_in
