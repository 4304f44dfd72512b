#include "platform/posix/kernel/linux_text.h"

#include <locale.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cwchar>
#include <mutex>

#include "platform/posix/kernel/code_page_text.h"
#include "platform/posix/kernel/host_hooks.h"

namespace win::stand_in {
namespace {

std::string localeText[256];
std::once_flag localeTextMade;

void MakeLocaleText() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (!locale) locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  locale_t previous = uselocale(locale);
  for (int byte = 0; byte < 256; ++byte) {
    if (byte < 0x80) {
      localeText[byte] = std::string(1, static_cast<char>(byte));
      continue;
    }
    char encoded[MB_LEN_MAX];
    std::mbstate_t state{};
    size_t length =
        std::wcrtomb(encoded, static_cast<wchar_t>(CodePointOfAnsiByte(static_cast<unsigned char>(byte))), &state);
    localeText[byte] = length == static_cast<size_t>(-1) ? "?" : std::string(encoded, length);
  }
  uselocale(previous);
  freelocale(locale);
}

std::atomic<bool> carriageReturnHeld[3];

// Async-signal-safe: it runs on every way out.
void WriteHeldCarriageReturns() {
  for (int stream = 1; stream <= 2; ++stream) {
    if (!carriageReturnHeld[stream].exchange(false)) continue;
    [[maybe_unused]] ssize_t written = write(stream, "\r", 1);
  }
}

void HoldCarriageReturn(int stream) {
  static std::once_flag hookRegistered;
  std::call_once(hookRegistered, [] { RegisterExitHook(WriteHeldCarriageReturns); });
  carriageReturnHeld[stream] = true;
}

}  // namespace

const std::string& LocaleTextOfAnsiByte(unsigned char byte) {
  std::call_once(localeTextMade, MakeLocaleText);
  return localeText[byte];
}

std::string ToLinuxText(int stream, const char* bytes, size_t count) {
  std::string text;
  if (count == 0) return text;
  text.reserve(count);
  if (carriageReturnHeld[stream].exchange(false) && bytes[0] != '\n') text += '\r';
  for (size_t i = 0; i < count; ++i) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\r') {
      if (i + 1 == count) {
        HoldCarriageReturn(stream);
        break;
      }
      if (bytes[i + 1] == '\n') continue;
    }
    if (byte < 0x80)
      text += static_cast<char>(byte);
    else
      text += LocaleTextOfAnsiByte(byte);
  }
  return text;
}

}  // namespace win::stand_in
