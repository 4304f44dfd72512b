// The terminal host: the console model shown on a tty as its terminfo entry
// says it can be drawn, keys read from it, the terminal taken back after a stop
// and followed through size changes.
#include "platform/posix/console/terminal_host.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/console/console_start.h"
#include "platform/posix/console/cursor_query.h"
#include "platform/posix/console/key_decoder.h"
#include "platform/posix/console/key_reader.h"
#include "platform/posix/console/locale_text.h"
#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/console/terminal_caps.h"
#include "platform/posix/console/terminal_mode.h"
#include "platform/posix/console/terminal_screen.h"
#include "platform/posix/console/terminal_writer.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

constexpr int DefaultEscapeWaitMs = 100;  // as curses programs wait
// A wait for keys returns this often, for the caller's Ctrl+C checks.
constexpr auto InputWait = std::chrono::milliseconds(50);
constexpr int MaxColumns = 1000, MaxRows = 500;
constexpr WORD StartAttributes = 0x07;
// xterm: Alt sends Esc before the key while the program runs; the user's setting is saved and put back.
constexpr char MetaSendsEscapeOn[] = "\x1b[?1036s\x1b[?1036h";
constexpr char MetaSendsEscapeOff[] = "\x1b[?1036r";

struct Host {
  TerminalCaps caps;
  LocaleText text;
  std::vector<EntryKey> entryKeys;
  int keyFd = -1;
  int quietFd = -1;      // a terminal that shows the output while the input comes from elsewhere
  std::string composed;  // kept for its capacity; used under the console's lock
};

Host& TheHost() {
  static Host* host = new Host;
  return *host;
}

// What puts the terminal back, made before anything is changed: read by the
// way out and the stop handler, which may take no lock.
char restoreBytes[512];
std::atomic<size_t> restoreLength{0};
std::atomic<bool> terminalTouched{false};
bool exitHookRegistered = false;

void PutBackForStop() {
  if (terminalTouched) WriteOnTheWayOut(restoreBytes, restoreLength, false);
}

void RestoreTerminal() {
  if (terminalTouched) WriteOnTheWayOut(restoreBytes, restoreLength, true);
  RestoreMode();
}

void PrepareRestore(const TerminalCaps& caps) {
  std::string bytes = caps.keypadOff;
  if (caps.xtermMeta) bytes += MetaSendsEscapeOff;
  bytes += DefaultPenBytes(caps);
  bytes += caps.showCursor;
  restoreLength = 0;
  size_t n = std::min(bytes.size(), sizeof restoreBytes);
  std::memcpy(restoreBytes, bytes.data(), n);
  restoreLength = n;
}

std::string TakeOverBytes(const TerminalCaps& caps, bool keys) {
  std::string bytes;
  if (keys) bytes += caps.keypadOn;
  if (keys && caps.xtermMeta) bytes += MetaSendsEscapeOn;
  return bytes;
}

bool SizeOf(int fd, int& width, int& height) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return false;
  width = std::min<int>(size.ws_col, MaxColumns);
  height = std::min<int>(size.ws_row, MaxRows);
  return true;
}

// Model locked. A stop and continue, or a new size: the terminal is taken again and drawn afresh.
bool FollowTerminal(ScreenBuffer& c) {
  Host& h = TheHost();
  bool changed = false;
  if (ContinuePending()) {
    // Nothing is read until the keys are raw again.
    HoldKeyReads();
    if (TakeContinued()) {
      if (h.keyFd >= 0 && InForeground(h.keyFd)) SetEarlyKeyBytes(SetRawMode(h.keyFd));
      if (h.quietFd >= 0 && InForeground(h.quietFd)) SetQuietMode(h.quietFd);
      Deliver(TakeOverBytes(h.caps, h.keyFd >= 0));
      RepaintScreen();
      changed = true;
    }
    ResumeKeyReads();
  }
  if (TakeSizeChange()) {
    int width, height, shownWidth, shownHeight;
    TerminalSize(shownWidth, shownHeight);
    if (SizeOf(TerminalOutput(), width, height) && (width != shownWidth || height != shownHeight)) {
      ScreenSizeChanged(c, width, height);
      changed = true;
    }
  }
  return changed;
}

void Present() {
  if (TerminalOutput() < 0) return;
  ScreenBuffer& c = *ActiveConsole();
  ConsoleGuard guard(c.lock);
  FollowTerminal(c);
  std::string& out = TheHost().composed;
  out.clear();
  DrawScreen(c, out);
  Deliver(out);
}

// The model takes the terminal's size, keeping the rows the terminal shows.
void FollowSize() {
  ScreenBuffer& c = *ActiveConsole();
  ConsoleGuard guard(c.lock);
  if (TerminalOutput() < 0 || !TheHost().caps.addressable) return;
  FollowTerminal(c);
  int width, height;
  TerminalSize(width, height);
  if (width == c.width && height == c.height) return;
  ResizeBuffer(c, static_cast<SHORT>(width), static_cast<SHORT>(height), ScreenOffset());
  ModelFollowedScreen();
}

// Input

[[noreturn]] void HungUp() {
  // As SIGHUP ends the process.
  ExitProcess(128 + SIGHUP);
}

// The reader thread has read and decoded the keys; the program's thread takes
// them here, and only looks at memory while none wait.
void PollInput(bool wait) {
  ScreenBuffer& c = *ActiveConsole();
  if (TerminalChangePending()) {
    ConsoleGuard guard(c.lock);
    if (FollowTerminal(c) && TerminalOutput() >= 0) {
      std::string out;
      DrawScreen(c, out);
      Deliver(out);
    }
  }
  if (wait) {
    FlushNow();
    if (!KeyReaderNews()) WaitForKeyReaderNews(InputWait);
  }
  if (!KeyReaderNews()) return;
  if (KeyInputEnded()) HungUp();
  // As the read the reader was refused would have stopped the process.
  if (TakeBackgroundRead()) kill(0, SIGTTIN);
  ConsoleGuard guard(c.lock);
  TakeKeyEvents(c.input);
}

// Start

std::chrono::milliseconds EscapeWait() {
  const char* set = std::getenv("ESCDELAY");
  char* end = nullptr;
  long ms = set ? std::strtol(set, &end, 10) : -1;
  if (!set || end == set || ms < 0 || ms > 10000) ms = DefaultEscapeWaitMs;
  return std::chrono::milliseconds(ms);
}

// servesOut: the standard output is the console; showsOut: the cells are drawn
// on out (the standard output, or the input's terminal when only the input is one).
bool StartOn(int in, int out, bool servesIn, bool servesOut, bool showsOut) {
  // Whatever read keys before reads them no more: the terminal is ours to ask.
  StopKeyReader();
  if (!servesIn && !showsOut) return false;
  // The way back is known before the terminal is touched.
  if (!exitHookRegistered) {
    exitHookRegistered = true;
    RegisterExitHook(RestoreTerminal);
  }
  Host& h = TheHost();
  h.caps = LoadTerminalCaps();
  LoadLocaleText(h.text);
  PrepareRestore(h.caps);
  h.entryKeys.clear();
  for (const auto& key : h.caps.keys) h.entryKeys.push_back({key.bytes, key.capability});
  h.keyFd = servesIn ? in : -1;
  h.quietFd = showsOut && !servesIn ? out : -1;
  int earlyBytes = 0;

  int width = 80, height = 24;
  SizeOf(showsOut ? out : in, width, height);
  terminalTouched = showsOut;
  SetTerminalOutput(showsOut ? out : -1);
  if (servesIn) earlyBytes = SetRawMode(in);
  if (h.quietFd >= 0) SetQuietMode(h.quietFd);
  std::string keys;
  COORD cursor{0, static_cast<SHORT>(height - 1)};
  if (showsOut && h.caps.addressable) cursor = StartCursor(in, out, servesIn, h.caps.cursorQuery, width, height, keys);

  ConsoleHost host;
  host.cellsChanged = ScreenCellsChanged;
  host.scrolledUp = [](int top, int bottom, int lines) { ScreenScrolledUp(*ActiveConsole(), top, bottom, lines); };
  host.present = Present;
  host.pollInput = PollInput;
  host.followSize = FollowSize;
  host.servesInput = servesIn;
  host.servesOutput = servesOut;
  host.servesError = showsOut && isatty(2);
  host.showsScreen = showsOut;
  SelectConsoleHost(host, static_cast<SHORT>(width), static_cast<SHORT>(height));
  ScreenBuffer& c = *ActiveConsole();
  ConsoleGuard guard(c.lock);
  c.attributes = StartAttributes;
  for (Cell& cell : c.cells) cell.attributes = StartAttributes;
  c.cursor = cursor;
  if (servesIn) {
    KeyDecoder decoder;
    decoder.eightBit = h.text.utf8 ? nullptr : h.text.eightBit;
    decoder.entryKeys = &h.entryKeys;
    StartKeyReader(in, decoder, EscapeWait(), earlyBytes, std::move(keys));
  }

  std::string start = TakeOverBytes(h.caps, servesIn);
  StartScreen(h.caps, h.text, width, height, c, start);
  if (showsOut) {
    Deliver(start);
    FlushSetUp();
    StartFlusher();
  }
  WatchTerminalSignals(PutBackForStop);
  return true;
}

// Where line input shows what is typed when the output is not a terminal: the
// input's own terminal, opened for writing when the input descriptor is not.
int TerminalOfInput(int in) {
  if ((fcntl(in, F_GETFL) & O_ACCMODE) == O_RDWR) return in;
  const char* name = ttyname(in);
  return name ? open(name, O_WRONLY | O_NOCTTY | O_CLOEXEC) : -1;
}

bool Start(int in, int out) {
  bool inTty = isatty(in) == 1, outTty = isatty(out) == 1;
  if (inTty && !outTty) {
    int screen = TerminalOfInput(in);
    return StartOn(in, screen, true, false, screen >= 0);
  }
  return StartOn(in, out, inTty, outTty, outTty);
}

}  // namespace

bool StartTerminalHost() {
  return Start(0, 1);
}

void UseTerminalConsole(int in, int out) {
  StartConsole();
  Start(in, out);
}

void FlushTerminalConsole() {
  FlushNow();
}

int TerminalWriteCount() {
  return WritesSoFar();
}

}  // namespace win::stand_in
