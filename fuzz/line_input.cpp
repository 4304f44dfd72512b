// Line input over arbitrary key event sequences: each line holds at most 254
// characters and its line end, and the cursor stays inside the window.
#include "console/line_input.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "console/crt_streams.h"
#include "console/keyboard.h"
#include "console/screen_output.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/testing/memory_console.h"
#include "runtime/text_stream.h"

namespace mem = win::stand_in;

namespace {

void PushEvent(const uint8_t* e) {
  win::INPUT_RECORD record{};
  record.EventType = (e[0] & 0x80) ? static_cast<win::WORD>(1 + e[0] % 16) : KEY_EVENT;
  win::KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  key.bKeyDown = (e[0] & 1) ? TRUE : FALSE;
  key.wRepeatCount = 1;
  key.wVirtualKeyCode = static_cast<win::WORD>(e[0] & 2 ? 18 : e[1]);
  key.wVirtualScanCode = e[1] & 0x7F;
  key.uChar.AsciiChar = static_cast<char>(e[2]);
  key.dwControlKeyState = static_cast<win::DWORD>(e[3]) | ((e[0] & 4) ? 0x100u : 0u);
  mem::PushInput(record);
}

}  // namespace

// A line input that waits for keys after the final Enter ends the process
// through the exit hooks: make that a crash the fuzzer keeps.
struct ExitIsAFault {
  ExitIsAFault() {
    mem::RegisterExitHook([] { __builtin_trap(); });
  }
} exitIsAFault;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  mem::MemoryConsoleSetup setup;
  setup.width = static_cast<win::SHORT>(1 + data[0] % 90);
  setup.height = static_cast<win::SHORT>(1 + data[1] % 8);
  setup.window = {0, 0, static_cast<win::SHORT>(setup.width - 1), static_cast<win::SHORT>(setup.height - 1)};
  mem::UseMemoryConsole(setup);
  rtl::InOutRes = 0;
  rtl::SysInitStdIO();
  crt::CrtInit();
  crt::ScanCode = 0;
  crt::SpecialKey = false;

  for (size_t at = 2; at + 4 <= size; at += 4) PushEvent(data + at);
  mem::PushKey(VK_RETURN, 28, '\r');  // every sequence ends with a plain Enter
  while (mem::PendingInputEvents() > 1) {
    crt::CrtRead(rtl::Input);
    rtl::TextRec& in = rtl::Input;
    if (in.BufEnd < 2 || in.BufEnd > 256 || in.BufPtr[in.BufEnd - 2] != '\r' || in.BufPtr[in.BufEnd - 1] != '\n')
      std::abort();
    win::COORD cursor = mem::CursorAt();
    if (cursor.X < 0 || cursor.X >= setup.width || cursor.Y < 0 || cursor.Y >= setup.height) std::abort();
  }
  return 0;
}
