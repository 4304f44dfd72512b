// Console bytes as terminal glyphs, and typed characters as console bytes.
#include "platform/posix/kernel/code_page_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace win::stand_in;

std::string Utf8(uint32_t c) {
  std::string s;
  AppendUtf8(s, c);
  return s;
}

TEST(CodePageText, GlyphsUtf8AndTypedCharacters) {
  EXPECT_EQ(Utf8(GlyphOfConsoleByte(0xF8, 1252)), "\xc3\xb8");      // ø
  EXPECT_EQ(Utf8(GlyphOfConsoleByte(0xF8, 437)), "\xc2\xb0");       // °
  EXPECT_EQ(Utf8(GlyphOfConsoleByte(0x80, 1252)), "\xe2\x82\xac");  // €
  EXPECT_EQ(Utf8(GlyphOfConsoleByte(0xE1, 850)), "\xc3\x9f");       // other pages as 437: ß
  EXPECT_EQ(Utf8(GlyphOfConsoleByte(0x1F, 1252)), "\xe2\x96\xbc");  // ▼, in the ANSI page too
  EXPECT_EQ(Utf8(GlyphOfConsoleByte(0x81, 1252)), "\xef\xbf\xbd");  // undefined in the page
  EXPECT_EQ(Utf8(0x1F600) + Utf8(0xD800) + Utf8(0x110000), "\xf0\x9f\x98\x80\xef\xbf\xbd\xef\xbf\xbd");
  // Nothing a program writes is a control code on the terminal, nor a character without width.
  for (uint32_t page : {437u, 850u, 1252u})
    for (int b = 0; b < 256; ++b) {
      uint32_t g = GlyphOfConsoleByte(static_cast<unsigned char>(b), page);
      EXPECT_TRUE(g >= 0x20 && !(g >= 0x7F && g < 0xA0) && g != 0xAD) << page << " " << b;
    }
  EXPECT_EQ(std::string() + AnsiCharOfCodePoint('a') + AnsiCharOfCodePoint(0xF8) + AnsiCharOfCodePoint(0x20AC) +
                AnsiCharOfCodePoint(0x85) + AnsiCharOfCodePoint(0x2192),
            "a\xf8\x80??");  // a C1 control and an arrow are no characters of the page
}

}  // namespace
