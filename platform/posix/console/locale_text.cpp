#include "platform/posix/console/locale_text.h"

#include <langinfo.h>
#include <locale.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "platform/posix/kernel/code_page_text.h"

namespace win::stand_in {
namespace {

std::string Encoded(uint32_t codePoint) {
  if (codePoint >= 0x20 && codePoint < 0x7F) return std::string(1, static_cast<char>(codePoint));
  wchar_t wide = static_cast<wchar_t>(codePoint);
  if (wcwidth(wide) != 1) return "?";
  char bytes[MB_LEN_MAX];
  std::mbstate_t state{};
  size_t n = std::wcrtomb(bytes, wide, &state);
  if (n == static_cast<size_t>(-1) || n == 0) return "?";
  return std::string(bytes, n);
}

}  // namespace

void LoadLocaleText(LocaleText& text, const char* name) {
  locale_t wanted = newlocale(LC_CTYPE_MASK, name ? name : "", static_cast<locale_t>(0));
  if (!wanted) wanted = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  locale_t previous = uselocale(wanted);
  text.utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  for (int b = 0; b < 256; ++b) {
    text.oem[b] = Encoded(GlyphOfConsoleByte(static_cast<unsigned char>(b), 437));
    text.ansi[b] = Encoded(GlyphOfConsoleByte(static_cast<unsigned char>(b), 1252));
  }
  for (int b = 0x80; b < 0x100; ++b) {
    char byte = static_cast<char>(b);
    wchar_t wide = 0;
    std::mbstate_t state{};
    size_t n = text.utf8 ? 0 : std::mbrtowc(&wide, &byte, 1, &state);
    text.eightBit[b - 0x80] = n == 1 ? static_cast<uint32_t>(wide) : 0;
  }
  uselocale(previous);
  freelocale(wanted);
}

}  // namespace win::stand_in
