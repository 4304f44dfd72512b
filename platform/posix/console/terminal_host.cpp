// The terminal host: the console model shown on a tty, keys read from it.
//
// Output: the host keeps a shadow of what the terminal shows. A present turns
// the scrolls since the last one into the terminal's own scrolling and the
// cells that differ from the shadow into cursor moves, colours and UTF-8, all
// in one buffer. A terminal write per present is slow when the program writes
// many short lines, so a buffer is written at once only when the last write is
// at least WriteInterval old; otherwise it waits in the pending bytes for the
// flusher thread, for a read that blocks, or for the exit hook.
//
// Input: the tty in raw mode (signals kept), bytes decoded into key events.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/console/key_decoder.h"
#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/console/terminal_console.h"
#include "platform/posix/kernel/code_page_text.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto WriteInterval = std::chrono::milliseconds(10);
constexpr auto EscapeWait = std::chrono::milliseconds(30);
constexpr int InputWaitMs = 50;
constexpr int CursorReplyWaitMs = 200;
constexpr int MaxColumns = 1000, MaxRows = 500;
constexpr size_t MaxScrolls = 32;
constexpr WORD StartAttributes = 0x07;
constexpr char RestoreSequence[] = "\x1b[0m\x1b[?25h";

// The columns of a row where the model may differ from the shadow.
struct Span {
  int left = 1, right = 0;  // empty
  bool Empty() const { return left > right; }
};

struct Scroll {
  int top, bottom, lines;
  WORD fill;
};

// What the terminal shows, and where its cursor and colours stand (-1: not
// known). Used under the console's lock.
struct Screen {
  int width = 0, height = 0;
  std::vector<std::vector<Cell>> shown;  // rows, so that a scroll moves rows, not cells
  std::vector<Span> dirty;               // per row
  std::vector<Scroll> scrolls;           // not yet applied to the terminal and the shadow
  int cursorX = -1, cursorY = -1;
  int foreground = -1, background = -1;
  std::string composed;  // kept for its capacity
};

struct Output {
  std::mutex lock;  // the pending bytes and the write bookkeeping
  std::condition_variable pendingChanged;
  Clock::time_point lastWrite;
  int writes = 0;
  bool flusherRunning = false;
};

struct Input {
  KeyDecoder decoder;
  Clock::time_point lastByte;
};

// Set at start, read by the exit hook.
int keyFd = -1, outputFd = -1;
int rawModeFd = -1;  // the terminal whose mode savedMode holds
termios savedMode;
bool exitHookRegistered = false;

// The bytes waiting for the terminal. Appended under Output::lock; the exit
// hook, which can take no lock, writes the published part once it has claimed
// them, and a writer claims them for the time of its write.
constexpr size_t PendingCapacity = 1 << 18;
char pendingBytes[PendingCapacity];
std::atomic<size_t> pendingLength{0};
std::atomic<bool> outputClaimed{false};

// Made on first use and never freed: the flusher may still wait on them while the process exits.
Screen& TheScreen() {
  static Screen* screen = new Screen;
  return *screen;
}
Output& TheOutput() {
  static Output* output = new Output;
  return *output;
}
Input& TheInput() {
  static Input* input = new Input;
  return *input;
}

void Pause(long nanoseconds) {
  timespec delay{0, nanoseconds};
  nanosleep(&delay, nullptr);
}

// Async-signal-safe.
void WriteAll(int fd, const char* bytes, size_t count) {
  int stalls = 0;
  while (count > 0) {
    ssize_t n = write(fd, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN && stalls++ < 100) {
      pollfd writable{fd, POLLOUT, 0};
      poll(&writable, 1, 20);
    } else {
      return;
    }
  }
}

// Output::lock held. False when the exit hook owns the output.
bool WritePendingLocked() {
  size_t n = pendingLength.load(std::memory_order_acquire);
  if (n == 0) return true;
  bool expected = false;
  if (!outputClaimed.compare_exchange_strong(expected, true)) return false;
  WriteAll(outputFd, pendingBytes, n);
  pendingLength.store(0, std::memory_order_release);
  outputClaimed.store(false, std::memory_order_release);
  TheOutput().lastWrite = Clock::now();
  ++TheOutput().writes;
  return true;
}

void WriteDirectLocked(const std::string& bytes) {
  bool expected = false;
  if (!outputClaimed.compare_exchange_strong(expected, true)) return;
  WriteAll(outputFd, bytes.data(), bytes.size());
  outputClaimed.store(false, std::memory_order_release);
  TheOutput().lastWrite = Clock::now();
  ++TheOutput().writes;
}

void Deliver(const std::string& bytes) {
  if (bytes.empty()) return;
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  size_t n = pendingLength.load(std::memory_order_relaxed);
  if (n + bytes.size() > PendingCapacity) {
    WritePendingLocked();
    n = pendingLength.load(std::memory_order_relaxed);
    if (n + bytes.size() > PendingCapacity) return WriteDirectLocked(bytes);
  }
  std::memcpy(pendingBytes + n, bytes.data(), bytes.size());
  pendingLength.store(n + bytes.size(), std::memory_order_release);
  if (Clock::now() - TheOutput().lastWrite >= WriteInterval)
    WritePendingLocked();
  else if (n == 0)
    TheOutput().pendingChanged.notify_one();
}

void FlushNow() {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  WritePendingLocked();
}

void FlushLater() {
  std::unique_lock<std::mutex> guard(TheOutput().lock);
  for (;;) {
    if (pendingLength.load(std::memory_order_acquire) == 0) {
      TheOutput().pendingChanged.wait(guard);
      continue;
    }
    Clock::time_point due = TheOutput().lastWrite + WriteInterval;
    if (Clock::now() < due) {
      TheOutput().pendingChanged.wait_until(guard, due);
      continue;
    }
    if (!WritePendingLocked()) TheOutput().pendingChanged.wait_for(guard, WriteInterval);
  }
}

// Runs at every way out: the pending output, default colours, a visible
// cursor, the terminal's own mode. Async-signal-safe.
void RestoreTerminal() {
  if (outputFd >= 0) {
    bool claimed = false;
    // A writer on another thread finishes its write first.
    for (int i = 0; i < 100 && !claimed; ++i) {
      bool expected = false;
      claimed = outputClaimed.compare_exchange_strong(expected, true);
      if (!claimed) Pause(1000000);
    }
    if (claimed) WriteAll(outputFd, pendingBytes, pendingLength.load(std::memory_order_acquire));
    WriteAll(outputFd, RestoreSequence, sizeof RestoreSequence - 1);
  }
  if (rawModeFd >= 0) tcsetattr(rawModeFd, TCSANOW, &savedMode);
}

// Rendering

void AppendNumber(std::string& out, int n) {
  char digits[12];
  int length = 0;
  do digits[length++] = static_cast<char>('0' + n % 10);
  while ((n /= 10) > 0);
  while (length > 0) out += digits[--length];
}

// Console colour bits are blue 1, green 2, red 4; the terminal's red 1, green 2, blue 4.
int ColourCode(int colour, int normalBase, int brightBase) {
  int ansi = ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2);
  return ((colour & 8) ? brightBase : normalBase) + ansi;
}

void SetColours(std::string& out, Screen& s, WORD attributes) {
  int foreground = attributes & 0x0F, background = (attributes >> 4) & 0x0F;
  if (foreground == s.foreground && background == s.background) return;
  out += "\x1b[";
  if (foreground != s.foreground) AppendNumber(out, ColourCode(foreground, 30, 90));
  if (background != s.background) {
    if (foreground != s.foreground) out += ';';
    AppendNumber(out, ColourCode(background, 40, 100));
  }
  out += 'm';
  s.foreground = foreground;
  s.background = background;
}

void MoveCursor(std::string& out, Screen& s, int x, int y) {
  if (s.cursorX == x && s.cursorY == y) return;
  out += "\x1b[";
  AppendNumber(out, y + 1);
  if (x > 0) {
    out += ';';
    AppendNumber(out, x + 1);
  }
  out += 'H';
  s.cursorX = x;
  s.cursorY = y;
}

uint32_t GlyphOf(const Cell& cell) {
  return GlyphOfConsoleByte(static_cast<unsigned char>(cell.character), cell.codePage);
}

bool SameLook(const Cell& a, const Cell& b) {
  if ((a.attributes & 0xFF) != (b.attributes & 0xFF)) return false;
  if (a.character == b.character && (static_cast<unsigned char>(a.character) < 0x80 || a.codePage == b.codePage))
    return true;
  return GlyphOf(a) == GlyphOf(b);
}

void EmitCell(std::string& out, Screen& s, int x, int y, const Cell& cell) {
  MoveCursor(out, s, x, y);
  SetColours(out, s, cell.attributes);
  AppendUtf8(out, GlyphOf(cell));
  // After the last column the terminal waits to wrap; where it stands then differs between terminals.
  s.cursorX = x + 1 < s.width ? x + 1 : -1;
}

// Unchanged cells just before a changed one are written again when that is
// shorter than moving the cursor over them.
void FillShortGap(std::string& out, Screen& s, ScreenBuffer& c, int x, int y) {
  constexpr int MaxGap = 4;
  if (s.cursorY != y || s.cursorX < 0 || s.cursorX >= x || x - s.cursorX > MaxGap) return;
  for (int g = s.cursorX; g < x; ++g) {
    WORD attributes = c.At(g, y).attributes;
    if ((attributes & 0x0F) != s.foreground || ((attributes >> 4) & 0x0F) != s.background) return;
  }
  for (int g = s.cursorX; g < x; ++g) {
    AppendUtf8(out, GlyphOf(c.At(g, y)));
    s.shown[static_cast<size_t>(y)][static_cast<size_t>(g)] = c.At(g, y);
  }
  s.cursorX = x;
}

void EmitScroll(std::string& out, Screen& s, const Scroll& scroll) {
  SetColours(out, s, scroll.fill);  // the new lines take the fill's background
  bool whole = scroll.top == 0 && scroll.bottom == s.height - 1;
  if (!whole) {
    out += "\x1b[";
    AppendNumber(out, scroll.top + 1);
    out += ';';
    AppendNumber(out, scroll.bottom + 1);
    out += 'r';
  }
  out += "\x1b[";
  AppendNumber(out, scroll.lines);
  out += 'S';
  if (!whole) {
    out += "\x1b[r";  // which also homes the cursor
    s.cursorX = s.cursorY = -1;
  }
  auto row = [&](int y) { return s.shown.begin() + y; };
  std::rotate(row(scroll.top), row(scroll.top + scroll.lines), row(scroll.bottom + 1));
  for (auto r = row(scroll.bottom + 1 - scroll.lines); r != row(scroll.bottom + 1); ++r)
    std::fill(r->begin(), r->end(), Cell{' ', scroll.fill, 437});
}

void CellsChanged(int left, int top, int right, int bottom) {
  Screen& s = TheScreen();
  top = std::max(top, 0);
  bottom = std::min(bottom, s.height - 1);
  left = std::max(left, 0);
  right = std::min(right, s.width - 1);
  for (int y = top; y <= bottom; ++y) {
    Span& span = s.dirty[static_cast<size_t>(y)];
    if (span.Empty()) span = {left, right};
    span = {std::min(span.left, left), std::max(span.right, right)};
  }
}

void ScrolledUp(int top, int bottom, int lines) {
  Screen& s = TheScreen();
  top = std::max(top, 0);
  bottom = std::min(bottom, s.height - 1);
  if (top > bottom || lines <= 0) return;
  lines = std::min(lines, bottom - top + 1);
  const Cell& filled = ActiveConsole()->At(0, bottom);
  WORD fill = filled.attributes;
  // The terminal brings in blank lines. The console fills only the rows that
  // moved away: rows above them that nothing moved into keep their cells.
  const Span wholeRow{0, s.width - 1};
  Span fillSpan = filled.character != ' ' ? wholeRow : Span{};
  for (int y = top; y <= bottom; ++y) {
    Span& dirty = s.dirty[static_cast<size_t>(y)];
    if (y + lines <= bottom)
      dirty = s.dirty[static_cast<size_t>(y + lines)];
    else
      dirty = y < top + lines ? wholeRow : fillSpan;
  }
  if (!s.scrolls.empty()) {
    Scroll& last = s.scrolls.back();
    if (last.top == top && last.bottom == bottom && last.fill == fill) {
      last.lines = std::min(last.lines + lines, bottom - top + 1);
      return;
    }
  }
  if (s.scrolls.size() < MaxScrolls) {
    s.scrolls.push_back({top, bottom, lines, fill});
    return;
  }
  // Too many different scrolls: leave the terminal as it is and redraw what differs.
  s.scrolls.clear();
  std::fill(s.dirty.begin(), s.dirty.end(), Span{0, s.width - 1});
}

void Present() {
  if (outputFd < 0) return;
  ScreenBuffer& c = *ActiveConsole();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  Screen& s = TheScreen();
  std::string& out = s.composed;
  out.clear();
  for (const Scroll& scroll : s.scrolls) EmitScroll(out, s, scroll);
  s.scrolls.clear();
  for (int y = 0; y < s.height; ++y) {
    Span span = s.dirty[static_cast<size_t>(y)];
    s.dirty[static_cast<size_t>(y)] = Span{};
    for (int x = span.left; x <= span.right; ++x) {
      const Cell& wanted = c.At(x, y);
      Cell& shown = s.shown[static_cast<size_t>(y)][static_cast<size_t>(x)];
      if (SameLook(wanted, shown)) continue;
      FillShortGap(out, s, c, x, y);
      EmitCell(out, s, x, y, wanted);
      shown = wanted;
    }
  }
  MoveCursor(out, s, c.cursor.X, c.cursor.Y);
  Deliver(out);
}

// Input

[[noreturn]] void HungUp() {
  // As SIGHUP ends the process.
  ExitProcess(128 + SIGHUP);
}

// How long a read may block: not past the moment a waiting Esc becomes a key.
int InputWait(ScreenBuffer& c) {
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  if (!KeyDecoderWaiting(TheInput().decoder)) return InputWaitMs;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(TheInput().lastByte + EscapeWait - Clock::now());
  return static_cast<int>(std::clamp<long long>(left.count() + 1, 0, InputWaitMs));
}

void PollInput(bool wait) {
  ScreenBuffer& c = *ActiveConsole();
  int timeout = 0;
  if (wait) {
    FlushNow();
    timeout = InputWait(c);
  }
  pollfd readable{keyFd, POLLIN, 0};
  unsigned char bytes[512];
  ssize_t n = 0;
  if (poll(&readable, 1, timeout) > 0) {
    n = read(keyFd, bytes, sizeof bytes);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) HungUp();
  }
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  std::vector<INPUT_RECORD> events;
  Clock::time_point now = Clock::now();
  if (n > 0) {
    DecodeKeyBytes(TheInput().decoder, bytes, static_cast<size_t>(n), events);
    TheInput().lastByte = now;
  } else if (KeyDecoderWaiting(TheInput().decoder) && now - TheInput().lastByte >= EscapeWait) {
    EndKeyBytes(TheInput().decoder, events);
  }
  c.input.insert(c.input.end(), events.begin(), events.end());
}

// Start

// Keys reach the program as typed: no line editing, no echo, no flow control,
// no translation of Enter. Ctrl+C still interrupts; Ctrl+\ and Ctrl+Z become
// keys, as on a console, since their signals would leave the terminal raw.
void SetRawMode(int fd) {
  termios mode;
  if (tcgetattr(fd, &mode) != 0) return;
  if (rawModeFd < 0) savedMode = mode;
  mode.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | ISTRIP);
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  mode.c_cc[VQUIT] = _POSIX_VDISABLE;
  mode.c_cc[VSUSP] = _POSIX_VDISABLE;
  if (tcsetattr(fd, TCSANOW, &mode) == 0 && rawModeFd < 0) rawModeFd = fd;
}

// Output on a terminal whose keys the program does not read (its input is a
// file or a pipe): keys typed there stay queued for whatever reads the terminal
// next, without an echo that would move the program's text.
void SetQuietMode(int fd) {
  termios mode;
  if (tcgetattr(fd, &mode) != 0) return;
  if (rawModeFd < 0) savedMode = mode;
  mode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
  if (tcsetattr(fd, TCSANOW, &mode) == 0 && rawModeFd < 0) rawModeFd = fd;
}

// "ESC [ row ; column R" somewhere in the bytes.
bool FindCursorReply(const std::string& bytes, size_t& start, size_t& length, int& row, int& column) {
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] != '\x1b' || bytes[i + 1] != '[') continue;
    size_t j = i + 2;
    int numbers[2] = {0, 0};
    bool ok = true;
    for (int k = 0; k < 2 && ok; ++k) {
      size_t first = j;
      while (j < bytes.size() && bytes[j] >= '0' && bytes[j] <= '9' && j - first < 5)
        numbers[k] = numbers[k] * 10 + (bytes[j++] - '0');
      char expected = k == 0 ? ';' : 'R';
      ok = j > first && j < bytes.size() && bytes[j] == expected;
      ++j;
    }
    if (!ok) continue;
    start = i;
    length = j - i;
    row = numbers[0];
    column = numbers[1];
    return true;
  }
  return false;
}

// Asks the terminal where its cursor is; key bytes that come with the answer are kept.
bool QueryCursor(int in, int out, int& row, int& column, std::string& keys) {
  WriteAll(out, "\x1b[6n", 4);
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(CursorReplyWaitMs);
  std::string got;
  while (got.size() < 4096) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd readable{in, POLLIN, 0};
    int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char bytes[256];
    ssize_t n = read(in, bytes, sizeof bytes);
    if (n <= 0) break;
    got.append(bytes, static_cast<size_t>(n));
    size_t start, length;
    if (FindCursorReply(got, start, length, row, column)) {
      keys = got.erase(start, length);
      return true;
    }
  }
  keys = got;
  return false;
}

// Where the output terminal's cursor is; the terminal's input may be ours, or
// only the output descriptor may be open for reading.
COORD StartCursor(int in, int out, bool servesIn, int width, int height, std::string& keys) {
  int row = height, column = 1;
  bool answered = false;
  if (servesIn) {
    answered = QueryCursor(in, out, row, column, keys);
  } else if ((fcntl(out, F_GETFL) & O_ACCMODE) == O_RDWR) {
    termios mode, quiet;
    if (tcgetattr(out, &mode) == 0) {
      quiet = mode;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
      quiet.c_cc[VMIN] = 1;
      quiet.c_cc[VTIME] = 0;
      std::string ignored;
      if (tcsetattr(out, TCSANOW, &quiet) == 0) answered = QueryCursor(out, out, row, column, ignored);
      tcsetattr(out, TCSANOW, &mode);
    }
  }
  if (!answered) row = height;  // the output goes on at the bottom, as after a shell's prompt
  return {static_cast<SHORT>(std::clamp(column, 1, width) - 1), static_cast<SHORT>(std::clamp(row, 1, height) - 1)};
}

void StartFlusher() {
  if (TheOutput().flusherRunning) return;
  TheOutput().flusherRunning = true;
  // The flusher takes no signal, so the exit hook never waits for the thread it interrupted.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  std::thread(FlushLater).detach();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// servesOut: the standard output is the console; showsOut: the cells are drawn
// on out (the standard output, or the input's terminal when only the input is one).
bool StartOn(int in, int out, bool servesIn, bool servesOut, bool showsOut) {
  if (!servesIn && !showsOut) return false;
  int width = 80, height = 24;
  winsize size{};
  if (ioctl(showsOut ? out : in, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
    width = std::min<int>(size.ws_col, MaxColumns);
    height = std::min<int>(size.ws_row, MaxRows);
  }
  if (servesIn) SetRawMode(in);
  std::string keys;
  COORD cursor{0, static_cast<SHORT>(height - 1)};
  if (showsOut) cursor = StartCursor(in, out, servesIn, width, height, keys);
  if (showsOut && !servesIn) SetQuietMode(out);

  ConsoleHost host;
  host.cellsChanged = CellsChanged;
  host.scrolledUp = ScrolledUp;
  host.present = Present;
  host.pollInput = PollInput;
  host.servesInput = servesIn;
  host.servesOutput = servesOut;
  host.servesError = showsOut && isatty(2);
  host.showsScreen = showsOut;
  SelectConsoleHost(host, static_cast<SHORT>(width), static_cast<SHORT>(height));
  ScreenBuffer& c = *ActiveConsole();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  c.attributes = StartAttributes;
  for (Cell& cell : c.cells) cell.attributes = StartAttributes;
  c.cursor = cursor;

  Screen& s = TheScreen();
  s = Screen{};
  s.width = width;
  s.height = height;
  s.shown.assign(static_cast<size_t>(height), std::vector<Cell>(c.cells.begin(), c.cells.begin() + width));
  s.dirty.assign(static_cast<size_t>(height), Span{});
  TheInput() = Input{};
  if (servesIn) {
    keyFd = in;
    std::vector<INPUT_RECORD> events;
    DecodeKeyBytes(TheInput().decoder, reinterpret_cast<const unsigned char*>(keys.data()), keys.size(), events);
    TheInput().lastByte = Clock::now();
    c.input.insert(c.input.end(), events.begin(), events.end());
  }

  if (showsOut) {
    // The host believes the screen blank from the cursor on; make it so.
    std::string clear = "\x1b[0m";
    SetColours(clear, s, StartAttributes);
    MoveCursor(clear, s, cursor.X, cursor.Y);
    clear += "\x1b[J";
    std::lock_guard<std::mutex> outputGuard(TheOutput().lock);
    outputFd = out;
    WriteDirectLocked(clear);
  }
  if (!exitHookRegistered) {
    exitHookRegistered = true;
    RegisterExitHook(RestoreTerminal);
  }
  if (showsOut) StartFlusher();
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
  Start(in, out);
}

void FlushTerminalConsole() {
  FlushNow();
}

int TerminalWriteCount() {
  std::lock_guard<std::mutex> guard(TheOutput().lock);
  return TheOutput().writes;
}

}  // namespace win::stand_in
