// Console bytes as terminal glyphs, and typed characters as console bytes.
#include "platform/posix/console/code_page_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using win::stand_in::AnsiCharOfCodePoint;
using win::stand_in::AppendUtf8;
using win::stand_in::GlyphOfConsoleByte;

std::string Utf8(uint32_t c) {
  std::string s;
  AppendUtf8(s, c);
  return s;
}

// The terminal output tests see the common glyphs; here the pages' edges.
TEST(CodePageText, EveryByteIsOneVisibleGlyph) {
  EXPECT_EQ(GlyphOfConsoleByte(0x9F, 1252), 0x178u);  // Ÿ
  EXPECT_EQ(GlyphOfConsoleByte(0xFF, 437), 0xA0u);
  EXPECT_EQ(GlyphOfConsoleByte(0xE1, 850), 0xDFu);     // other pages as 437: ß
  EXPECT_EQ(GlyphOfConsoleByte(0x1F, 1252), 0x25BCu);  // ▼, in the ANSI page too
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
    EXPECT_EQ(GlyphOfConsoleByte(undefined, 1252), 0xFFFDu);
  // Nothing a program writes is a control code on the terminal, nor a character without width.
  for (uint32_t page : {437u, 850u, 1252u})
    for (int b = 0; b < 256; ++b) {
      uint32_t g = GlyphOfConsoleByte(static_cast<unsigned char>(b), page);
      EXPECT_TRUE(g >= 0x20 && !(g >= 0x7F && g < 0xA0) && g != 0xAD) << page << " " << b;
    }
}

TEST(CodePageText, Utf8Encoding) {
  EXPECT_EQ(Utf8('A'), "A");
  EXPECT_EQ(Utf8(0xF8), "\xc3\xb8");
  EXPECT_EQ(Utf8(0x7FF), "\xdf\xbf");
  EXPECT_EQ(Utf8(0x20AC), "\xe2\x82\xac");
  EXPECT_EQ(Utf8(0xFFFD), "\xef\xbf\xbd");
  EXPECT_EQ(Utf8(0x1F600), "\xf0\x9f\x98\x80");
  EXPECT_EQ(Utf8(0xD800), "\xef\xbf\xbd");
  EXPECT_EQ(Utf8(0x110000), "\xef\xbf\xbd");
}

TEST(CodePageText, TypedCharactersInTheAnsiPage) {
  EXPECT_EQ(AnsiCharOfCodePoint('a'), 'a');
  EXPECT_EQ(AnsiCharOfCodePoint(0xF8), '\xf8');
  EXPECT_EQ(AnsiCharOfCodePoint(0xA0), '\xa0');
  EXPECT_EQ(AnsiCharOfCodePoint(0x20AC), '\x80');
  EXPECT_EQ(AnsiCharOfCodePoint(0x2122), '\x99');
  EXPECT_EQ(AnsiCharOfCodePoint(0x85), '?');  // a C1 control is no character of the page
  EXPECT_EQ(AnsiCharOfCodePoint(0x2192), '?');
  EXPECT_EQ(AnsiCharOfCodePoint(0x1F600), '?');
}

}  // namespace
