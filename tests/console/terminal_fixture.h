// A terminal started on the memory console, and the few steps every console test takes.
#pragma once

#include <string>
#include <string_view>

#include "console/keyboard.h"
#include "console/screen_output.h"
#include "platform/posix/console/memory_console.h"
#include "runtime/text_stream.h"

namespace console_test {

using namespace win;
namespace mem = win::stand_in;

inline void StartTerminal(const mem::MemoryConsoleSetup& setup = {}) {
  mem::UseMemoryConsole(setup);
  rtl::SysInitStdIO();
  crt::CrtInit();
}

// One write statement of the program.
inline void Write(std::string_view text) {
  rtl::WriteShortStr(0, rtl::Output, rtl::ShortString(text));
  rtl::WriteEnd(rtl::Output);
}
inline void WriteLn(std::string_view text) {
  rtl::WriteShortStr(0, rtl::Output, rtl::ShortString(text));
  rtl::WriteLnEnd(rtl::Output);
}

// The line that one line input returns.
inline std::string ReadLine() {
  crt::CrtRead(rtl::Input);
  return std::string(rtl::Input.BufPtr, static_cast<size_t>(rtl::Input.BufEnd));
}

inline void PushKeyDown(WORD virtualKey, WORD scanCode, char character, DWORD state = 0) {
  mem::PushKey(virtualKey, scanCode, character, state);
}

inline mem::MemoryConsoleSetup Window(SHORT width, SHORT height, SMALL_RECT window, COORD cursor = {0, 0},
                                      WORD attributes = 0x07) {
  mem::MemoryConsoleSetup setup;
  setup.width = width;
  setup.height = height;
  setup.window = window;
  setup.cursor = cursor;
  setup.attributes = attributes;
  return setup;
}

}  // namespace console_test
