// The terminal host on a pseudo-terminal whose far side knows only the
// sequences of a terminfo entry: start-up, cells in their colours and code
// pages, scrolls, batched writes, and typed keys.
#include "platform/posix/console/terminal_host.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>
#include <wchar.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/kernel/code_page_text.h"
#include "platform/win.h"
#include "tests/support/entry_terminal.h"

namespace {

using win::stand_in::AppendUtf8;
using win::stand_in::GlyphOfConsoleByte;

using testing_support::EntryTerminal;

// Selects the host on the terminal as a user of that entry and a UTF-8 locale would.
void UseTerminal(const std::string& entry, EntryTerminal& terminal) {
  setenv("TERM", entry.c_str(), 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
}

win::HANDLE Out() {
  return win::GetStdHandle(STD_OUTPUT_HANDLE);
}

// Cells along the row and on into the next ones, as far as the buffer goes.
void Put(int x, int y, const std::string& text, win::WORD attributes) {
  std::vector<win::WORD> a(text.size(), attributes);
  win::DWORD n, length = static_cast<win::DWORD>(text.size());
  win::WriteConsoleOutputCharacterA(Out(), text.data(), length,
                                    {static_cast<win::SHORT>(x), static_cast<win::SHORT>(y)}, &n);
  win::WriteConsoleOutputAttribute(Out(), a.data(), length, {static_cast<win::SHORT>(x), static_cast<win::SHORT>(y)},
                                   &n);
}

void Present(int x, int y) {
  win::SetConsoleCursorPosition(Out(), {static_cast<win::SHORT>(x), static_cast<win::SHORT>(y)});
}

void Print(const std::string& text) {
  win::DWORD n;
  win::WriteFile(Out(), text.data(), static_cast<win::DWORD>(text.size()), &n, nullptr);
}

// The terminal's colour number of a console colour (console blue 1, red 4; the terminal's red 1, blue 4).
int TerminalColour(int colour) {
  return ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2) | (colour & 8);
}

// How a terminal with `colours` colours shows a console attribute: the
// start-up attribute in its defaults; 8 colours show a bright foreground bold.
EntryTerminal::Cell Look(int attributes, int colours) {
  int foreground = attributes & 15, background = (attributes >> 4) & 15;
  if ((attributes & 0xFF) == 0x07 || colours < 8) return {" ", -1, -1, false};
  if (colours >= 16) return {" ", TerminalColour(foreground), TerminalColour(background), false};
  return {" ", TerminalColour(foreground & 7), TerminalColour(background & 7), (foreground & 8) != 0};
}

// A glyph as a UTF-8 terminal shows it: "?" where it would not take one column.
std::string Glyph(const win::stand_in::Cell& cell) {
  uint32_t c = GlyphOfConsoleByte(static_cast<unsigned char>(cell.character), cell.codePage);
  std::string glyph;
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  locale_t previous = uselocale(utf8);
  if (wcwidth(static_cast<wchar_t>(c)) == 1)
    AppendUtf8(glyph, c);
  else
    glyph = "?";
  uselocale(previous);
  freelocale(utf8);
  return glyph;
}

// Every cell of the terminal against the console model: glyph, background, and
// foreground where a glyph shows it; then the cursor and the faults.
std::string DifferenceFromModel(EntryTerminal& t, int colours) {
  t.Shown();
  win::stand_in::ScreenBuffer& c = *win::stand_in::ActiveConsole();
  win::stand_in::ConsoleGuard guard(c.lock);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const win::stand_in::Cell& cell = c.At(x, y);
      std::string glyph = Glyph(cell);
      EntryTerminal::Cell want = Look(cell.attributes, colours);
      const EntryTerminal::Cell& shown = t.At(x, y);
      if (shown.text != glyph || shown.background != want.background ||
          (glyph != " " && (shown.foreground != want.foreground || shown.bold != want.bold)))
        return "cell " + std::to_string(x) + "," + std::to_string(y) + " shows " + std::to_string(shown.foreground) +
               "/" + std::to_string(shown.background) + " '" + shown.text + "' for " + std::to_string(cell.attributes) +
               " '" + glyph + "'";
    }
  if (t.cursorX != c.cursor.X || t.cursorY != c.cursor.Y)
    return "cursor at " + std::to_string(t.cursorX) + "," + std::to_string(t.cursorY);
  return t.faults.empty() ? "" : t.faults[0];
}

// The characters of the keys typed within the time, a key without one as '\0'.
std::string KeysWithin(int milliseconds, size_t wanted) {
  std::string keys;
  win::HANDLE in = win::GetStdHandle(STD_INPUT_HANDLE);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (win::INPUT_RECORD record; keys.size() < wanted && std::chrono::steady_clock::now() < deadline; win::Sleep(1))
    for (win::DWORD count = 0, read = 0; win::GetNumberOfConsoleInputEvents(in, &count) && count > 0;)
      if (win::ReadConsoleInputA(in, &record, 1, &read) && record.Event.KeyEvent.bKeyDown)
        keys += record.Event.KeyEvent.uChar.AsciiChar;
  return keys;
}

std::string Geometry() {
  win::CONSOLE_SCREEN_BUFFER_INFO i{};
  EXPECT_TRUE(win::GetConsoleScreenBufferInfo(Out(), &i));
  return std::to_string(i.dwSize.X) + "x" + std::to_string(i.dwSize.Y) + " to " + std::to_string(i.srWindow.Right) +
         "," + std::to_string(i.srWindow.Bottom) + " at " + std::to_string(i.dwCursorPosition.X) + "," +
         std::to_string(i.dwCursorPosition.Y);
}

TEST(TerminalHost, StartsAtTheReportedCursorAndTakesTypedKeysWithoutEcho) {
  // A key typed before the reply is kept, and a line feed typed before the
  // host set its mode is Enter.
  EntryTerminal terminal("xterm-256color", 40, 12, "\x1b[5;3R", 'x');
  terminal.Type("k\n");
  pollfd typed{terminal.slave(), POLLIN, 0};  // the line has reached the terminal
  ASSERT_EQ(poll(&typed, 1, 2000), 1);
  UseTerminal("xterm-256color", terminal);
  EXPECT_EQ(Geometry(), "40x12 to 39,11 at 2,4");
  // Ctrl+S and Ctrl+Q are keys, not flow control; Enter stays a carriage
  // return and a line feed now is Ctrl+J; a lone Esc is the Esc key once
  // nothing follows it in time.
  terminal.Type("1\x13\x11\r\n\x1b");
  EXPECT_EQ(KeysWithin(3000, 8), "k\r1\x13\x11\r\n\x1b");
  // A sequence whose rest comes soon after its Esc is one key.
  terminal.Type("\x1b[1;");
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  terminal.Type("5C");
  EXPECT_EQ(KeysWithin(300, 2), std::string(1, '\0'));
  // Cleared from the cursor on, in the terminal's default colours; nothing typed is echoed.
  terminal.Shown();
  EXPECT_EQ(terminal.Row(3), std::string(40, 'x'));
  EXPECT_EQ(terminal.Row(4), "xx");
  for (int y = 5; y < 12; ++y) EXPECT_EQ(terminal.Row(y), "") << y;
  EXPECT_EQ(terminal.At(10, 8).background, -1);
  EXPECT_TRUE(terminal.faults.empty()) << terminal.faults[0];
  // A terminal that never replies: the output goes on at the bottom, as after a shell's prompt.
  EntryTerminal silent("xterm-256color", 40, 12, "");
  UseTerminal("xterm-256color", silent);
  EXPECT_EQ(Geometry(), "40x12 to 39,11 at 0,11");
}

TEST(TerminalHost, OneWritePerPresentBurstsCoalescedAndScrollsByTheTerminal) {
  EntryTerminal terminal("xterm-256color", 40, 12);
  UseTerminal("xterm-256color", terminal);
  // The first present after the start-up, as the first prompt, is written at once.
  int before = win::stand_in::TerminalWriteCount();
  for (int y = 0; y < 12; ++y) Put(0, y, std::string(40, static_cast<char>('A' + y)), static_cast<win::WORD>(y));
  Present(0, 11);
  EXPECT_EQ(win::stand_in::TerminalWriteCount(), before + 1);
  EXPECT_EQ(DifferenceFromModel(terminal, 16), "");
  // Many short presents: at most one write per interval; the last output
  // reaches the screen without another call; lines that scroll are not sent again.
  before = win::stand_in::TerminalWriteCount();
  size_t bytesBefore = terminal.Received();
  int scrollsBefore = terminal.scrolls;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 300; ++i) Print(std::to_string(i) + " is PRIME!\r\n");
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LE(win::stand_in::TerminalWriteCount() - before, 2 + elapsed.count() / 10)
      << "in " << elapsed.count() << " ms";
  EXPECT_TRUE(terminal.WaitFor("299 is PRIME!"));
  EXPECT_EQ(DifferenceFromModel(terminal, 16), "");
  EXPECT_GT(terminal.scrolls, scrollsBefore);
  EXPECT_LT(terminal.Received() - bytesBefore, 300u * 30);
}

// Cells in every colour and in both code pages, scrolls of whole rows (several
// before a present) and of column blocks, teletype output and cursor moves, on
// terminals with 16, 8 and no colours, with and without erasing in colour and
// a scroll-by-n.
TEST(TerminalHost, RandomOperationsEndAsTheModel) {
  const struct {
    const char* entry;
    int colours;
  } terminals[] = {{"xterm-256color", 16}, {"linux", 8}, {"screen", 8}, {"vt100", 0}};
  for (const auto& [entry, colours] : terminals) {
    SCOPED_TRACE(entry);
    EntryTerminal terminal(entry, 23, 9);
    UseTerminal(entry, terminal);
    for (int colour = 0; colour < 16; ++colour)
      Put(colour, 0, "#", static_cast<win::WORD>(colour | ((15 - colour) << 4)));
    win::SetConsoleOutputCP(1252);
    Put(0, 1, std::string("m\xF8\x01\x1b\x07\x0a\x0d\x7f\x00\x81\x80", 11), 0x1E);  // controls shown as glyphs
    Present(0, 8);
    ASSERT_EQ(DifferenceFromModel(terminal, colours), "");
    std::mt19937 random(2024);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto scrollUp = [](int left, int top, int right, int bottom, int lines, char fillCharacter, int fillAttributes) {
      win::SMALL_RECT scroll{static_cast<win::SHORT>(left), static_cast<win::SHORT>(top + lines),
                             static_cast<win::SHORT>(right), static_cast<win::SHORT>(bottom)},
          clip{scroll.Left, static_cast<win::SHORT>(top), scroll.Right, scroll.Bottom};
      win::CHAR_INFO fill;
      fill.Char.AsciiChar = fillCharacter;
      fill.Attributes = static_cast<win::WORD>(fillAttributes);
      win::ScrollConsoleScreenBufferA(Out(), &scroll, &clip, {scroll.Left, clip.Top}, &fill);
    };
    for (int step = 0; step < 1500; ++step) {
      if (int what = below(10); what < 4) {
        win::SetConsoleOutputCP(below(2) ? 1252 : 437);
        std::string text(static_cast<size_t>(1 + below(30)), '\0');
        for (char& ch : text) ch = static_cast<char>(below(256));
        Put(below(23), below(9), text, static_cast<win::WORD>(below(3) ? 0x07 : below(256)));
      } else if (what < 7) {
        // A quarter of them scroll the whole window's height, as output at its foot does.
        bool wholeHeight = below(4) == 0;
        int top = wholeHeight ? 0 : below(9), bottom = wholeHeight ? 8 : top + below(9 - top);
        int left = below(3) ? 0 : below(10);
        scrollUp(left, top, left ? 10 + below(13) : 22, bottom, 1 + below(bottom - top + 1), below(4) ? ' ' : '#',
                 below(2) ? 0x07 : below(256));
      } else if (what < 8) {
        Print("text " + std::to_string(step) + (below(2) ? "\r\n" : ""));
      } else {
        Present(below(23), below(9));
      }
      if (step % 50 == 49) {
        Present(win::stand_in::ActiveConsole()->cursor.X, win::stand_in::ActiveConsole()->cursor.Y);
        ASSERT_EQ(DifferenceFromModel(terminal, colours), "") << "after step " << step;
      }
    }
    // More differing scrolls between two presents than the host keeps.
    for (int i = 0; i < 80; ++i) {
      Put(0, 8, std::to_string(i), 0x0F);
      scrollUp(0, i % 5, 22, 8, 1, ' ', i);
    }
    Present(3, 3);
    EXPECT_EQ(DifferenceFromModel(terminal, colours), "");
  }
}

}  // namespace
