// The console as the file behind the standard streams it serves, and its start.
#include "platform/posix/console/console_start.h"

#include <algorithm>
#include <string>

#include "platform/posix/console/console_api.h"
#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/console/terminal_host.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

using Guard = ConsoleGuard;

bool Serves(StdStream stream) {
  ScreenBuffer* c = ConsoleInUse();
  if (!c) return false;
  switch (stream) {
    case StdInputStream:
      return c->host.servesInput;
    case StdOutputStream:
      return c->host.servesOutput;
    default:
      return c->host.servesError;
  }
}

bool WriteStream(StdStream, const char* bytes, DWORD count, DWORD* written) {
  ScreenBuffer* c = ConsoleInUse();
  Guard guard(c->lock);
  WriteAtCursor(*c, bytes, count);
  if (c->host.present) c->host.present();
  *written = count;
  return true;
}

// A cooked line with echo: only a fallback, since the program reads key events.
bool ReadStream(StdStream, char* bytes, DWORD count, DWORD* read) {
  ScreenBuffer* c = ConsoleInUse();
  std::string line;
  while (line.empty() || line.back() != '\n') {
    INPUT_RECORD record;
    DWORD n = 0;
    if (!ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &n) || n == 0) break;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
    char ch = record.Event.KeyEvent.uChar.AsciiChar;
    if (ch == '\r') {
      line += "\r\n";
      Guard guard(c->lock);
      WriteAtCursor(*c, "\r\n", 2);
    } else if (ch) {
      line += ch;
      Guard guard(c->lock);
      WriteAtCursor(*c, &ch, 1);
    }
    if (c->host.present) c->host.present();
  }
  *read = static_cast<DWORD>(std::min<size_t>(line.size(), count));
  line.copy(bytes, *read);
  return true;
}

const ConsoleFiles consoleFiles{Serves, WriteStream, ReadStream};

}  // namespace

void StartConsole() {
  RegisterConsoleFiles(&consoleFiles);
  OfferConsoleHost(StartTerminalHost);
}

}  // namespace win::stand_in
