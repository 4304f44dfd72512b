// A terminal started on the memory console, and the few steps every console test takes.
#pragma once

#include <string>
#include <string_view>

#include "console/crt_streams.h"
#include "console/keyboard.h"
#include "console/line_input.h"
#include "console/screen_output.h"
#include "platform/posix/testing/memory_console.h"
#include "runtime/text_stream.h"

namespace console_test {

using namespace win;
namespace mem = win::stand_in;

inline mem::MemoryConsoleSetup Window(SHORT width, SHORT height, SMALL_RECT window, COORD cursor = {0, 0},
                                      WORD attributes = 0x07) {
  return {width, height, window, attributes, cursor};
}

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

// The rows' characters, trailing blanks removed, separated by '|'.
inline std::string Rows(SHORT first, SHORT last) {
  std::string rows = mem::RowText(first);
  for (SHORT y = first + 1; y <= last; ++y) rows += "|" + mem::RowText(y);
  return rows;
}

inline std::string Cursor() {
  return std::to_string(mem::CursorAt().X) + "," + std::to_string(mem::CursorAt().Y);
}

}  // namespace console_test
