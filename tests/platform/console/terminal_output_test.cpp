// The terminal host's output on a pseudo-terminal, read back through a small
// terminal model: start-up, cells, colours, code pages, scrolls, batching.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>

#include "platform/posix/console/code_page_text.h"
#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/console/terminal_console.h"
#include "platform/win.h"
#include "tests/platform/console/fake_terminal.h"

namespace {

using testing_support::FakeTerminal;
using testing_support::FakeTerminalSetup;

// SGR foreground code of each console colour; the background's is 10 more.
constexpr int Foreground[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

win::HANDLE Out() {
  return win::GetStdHandle(STD_OUTPUT_HANDLE);
}

void Put(int x, int y, const std::string& text, win::WORD attributes) {
  for (size_t i = 0; i < text.size(); ++i) {
    win::COORD at{static_cast<win::SHORT>(x + static_cast<int>(i)), static_cast<win::SHORT>(y)};
    win::DWORD n;
    win::WriteConsoleOutputCharacterA(Out(), &text[i], 1, at, &n);
    win::WriteConsoleOutputAttribute(Out(), &attributes, 1, at, &n);
  }
}

void Present(int x, int y) {
  win::SetConsoleCursorPosition(Out(), {static_cast<win::SHORT>(x), static_cast<win::SHORT>(y)});
}

void Print(const std::string& text) {
  win::DWORD n;
  win::WriteFile(Out(), text.data(), static_cast<win::DWORD>(text.size()), &n, nullptr);
}

bool Shown(FakeTerminal& terminal) {
  win::stand_in::FlushTerminalConsole();
  return terminal.Sync();
}

// Every cell of the fake terminal against the console model: glyph, background,
// and foreground where a glyph shows it. Under the terminal's lock.
std::string DifferenceFromModel(FakeTerminal& t) {
  win::stand_in::ScreenBuffer& c = *win::stand_in::ActiveConsole();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const win::stand_in::Cell& cell = c.At(x, y);
      std::string glyph;
      win::stand_in::AppendUtf8(
          glyph, win::stand_in::GlyphOfConsoleByte(static_cast<unsigned char>(cell.character), cell.codePage));
      const auto& shown = t.At(x, y);
      int foreground = Foreground[cell.attributes & 15], background = Foreground[(cell.attributes >> 4) & 15] + 10;
      if (shown.text != glyph || shown.background != background || (glyph != " " && shown.foreground != foreground))
        return "cell " + std::to_string(x) + "," + std::to_string(y) + " shows '" + shown.text + "' " +
               std::to_string(shown.foreground) + "/" + std::to_string(shown.background) + ", model '" + glyph + "' " +
               std::to_string(foreground) + "/" + std::to_string(background) + "; row: " + t.Row(y);
    }
  if (t.cursorX() != c.cursor.X || t.cursorY() != c.cursor.Y)
    return "cursor at " + std::to_string(t.cursorX()) + "," + std::to_string(t.cursorY());
  return "";
}

TEST(TerminalStart, SizeCursorAndClearingFromTheCursor) {
  FakeTerminalSetup setup;
  setup.cursorRow = 5;
  setup.cursorColumn = 3;
  setup.prefill = 'x';
  FakeTerminal terminal(setup);
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  win::CONSOLE_SCREEN_BUFFER_INFO info{};
  ASSERT_TRUE(win::GetConsoleScreenBufferInfo(Out(), &info));
  EXPECT_EQ(info.dwSize.X, 40);
  EXPECT_EQ(info.dwSize.Y, 12);
  EXPECT_EQ(info.srWindow.Left, 0);
  EXPECT_EQ(info.srWindow.Top, 0);
  EXPECT_EQ(info.srWindow.Right, 39);
  EXPECT_EQ(info.srWindow.Bottom, 11);
  EXPECT_EQ(info.dwCursorPosition.X, 2);
  EXPECT_EQ(info.dwCursorPosition.Y, 4);
  EXPECT_EQ(info.wAttributes, 0x07);
  ASSERT_TRUE(terminal.Sync());
  std::lock_guard<std::mutex> guard(terminal.lock());
  EXPECT_EQ(terminal.Row(3), std::string(40, 'x'));
  EXPECT_EQ(terminal.Row(4), "xx");
  for (int y = 5; y < 12; ++y) EXPECT_EQ(terminal.Row(y), "") << y;
  EXPECT_EQ(terminal.At(10, 8).background, 40);
  EXPECT_EQ(terminal.cursorX(), 2);
  EXPECT_EQ(terminal.cursorY(), 4);
  EXPECT_TRUE(terminal.faults().empty()) << terminal.faults()[0];
}

TEST(TerminalStart, WithoutAnAnswerOnTheBottomRowAndKeysBeforeTheAnswerKept) {
  {
    FakeTerminalSetup setup;
    setup.beforeAnswer = "k\x1b[A";
    setup.cursorRow = 2;
    FakeTerminal terminal(setup);
    win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
    win::INPUT_RECORD events[8];
    win::DWORD read = 0;
    ASSERT_TRUE(win::ReadConsoleInputA(win::GetStdHandle(STD_INPUT_HANDLE), events, 8, &read));
    ASSERT_EQ(read, 4u);
    EXPECT_EQ(events[0].Event.KeyEvent.uChar.AsciiChar, 'k');
    EXPECT_EQ(events[2].Event.KeyEvent.wVirtualKeyCode, VK_UP);
    win::CONSOLE_SCREEN_BUFFER_INFO info{};
    win::GetConsoleScreenBufferInfo(Out(), &info);
    EXPECT_EQ(info.dwCursorPosition.Y, 1);
  }
  FakeTerminalSetup silent;
  silent.answersCursorQuery = false;
  FakeTerminal terminal(silent);
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  win::CONSOLE_SCREEN_BUFFER_INFO info{};
  win::GetConsoleScreenBufferInfo(Out(), &info);
  EXPECT_EQ(info.dwCursorPosition.X, 0);
  EXPECT_EQ(info.dwCursorPosition.Y, 11);
}

TEST(TerminalOutput, CharactersInTheirCodePagesAndColours) {
  FakeTerminal terminal;
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  win::SetConsoleOutputCP(1252);
  Put(0, 0, "m\xF8 prime search<=1646:", 0x07);
  Put(0, 1, std::string("\x01\x1b\x07\x0a\x0d\x7f\x00\x81\x80", 9), 0x1E);
  win::SetConsoleOutputCP(437);
  Put(0, 2, "\xF8\xDB", 0xC9);
  Put(38, 3, "ab", 0x70);
  Present(5, 3);
  ASSERT_TRUE(Shown(terminal));
  std::lock_guard<std::mutex> guard(terminal.lock());
  EXPECT_EQ(terminal.Row(0), "m\xc3\xb8 prime search<=1646:");
  EXPECT_EQ(terminal.Row(1), "\u263a\u2190\u2022\u25d9\u266a\u2302 \ufffd\u20ac");
  EXPECT_EQ(terminal.Row(2), "\u00b0\u2588");
  EXPECT_EQ(terminal.Row(3), std::string(38, ' ') + "ab");
  EXPECT_EQ(terminal.At(0, 0).foreground, 37);
  EXPECT_EQ(terminal.At(0, 0).background, 40);
  EXPECT_EQ(terminal.At(3, 1).foreground, 93);
  EXPECT_EQ(terminal.At(3, 1).background, 44);
  EXPECT_EQ(terminal.At(1, 2).foreground, 94);
  EXPECT_EQ(terminal.At(1, 2).background, 101);
  EXPECT_EQ(terminal.At(39, 3).foreground, 30);
  EXPECT_EQ(terminal.At(39, 3).background, 47);
  EXPECT_EQ(DifferenceFromModel(terminal), "");
  EXPECT_TRUE(terminal.faults().empty()) << terminal.faults()[0];
}

TEST(TerminalOutput, ScrollsUseTheTerminalsScrolling) {
  FakeTerminal terminal;
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  for (int i = 0; i < 12; ++i) Print("line " + std::to_string(i) + " of the screen\r\n");
  ASSERT_TRUE(Shown(terminal));
  size_t before;
  {
    std::lock_guard<std::mutex> guard(terminal.lock());
    EXPECT_EQ(DifferenceFromModel(terminal), "");
    EXPECT_GE(terminal.scrolls(), 1);
    before = terminal.received().size();
  }
  // One more line: the terminal scrolls; the rows are not drawn again.
  Print("\r\n");
  ASSERT_TRUE(Shown(terminal));
  {
    std::lock_guard<std::mutex> guard(terminal.lock());
    EXPECT_EQ(DifferenceFromModel(terminal), "");
    EXPECT_LT(terminal.received().size() - before, 40u);
    EXPECT_EQ(terminal.Row(9), "line 11 of the screen");
  }
  // Rows 3 to 8 move up one within themselves; the new row takes the fill's background.
  win::SMALL_RECT scroll{0, 3, 39, 8}, clip{0, 2, 39, 8};
  win::CHAR_INFO fill;
  fill.Char.AsciiChar = ' ';
  fill.Attributes = 0x20;
  ASSERT_TRUE(win::ScrollConsoleScreenBufferA(Out(), &scroll, &clip, {0, 2}, &fill));
  Present(0, 11);
  ASSERT_TRUE(Shown(terminal));
  std::lock_guard<std::mutex> guard(terminal.lock());
  EXPECT_EQ(DifferenceFromModel(terminal), "");
  EXPECT_EQ(terminal.regionScrolls(), 1);
  EXPECT_EQ(terminal.At(5, 8).background, 42);
  EXPECT_EQ(terminal.Row(2), "line 5 of the screen");
  EXPECT_TRUE(terminal.faults().empty()) << terminal.faults()[0];
}

TEST(TerminalOutput, OneWritePerPresentAndBurstsCoalesced) {
  FakeTerminal terminal;
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  int before = win::stand_in::TerminalWriteCount();
  for (int y = 0; y < 12; ++y) Put(0, y, std::string(40, static_cast<char>('A' + y)), static_cast<win::WORD>(y));
  Present(0, 0);
  EXPECT_EQ(win::stand_in::TerminalWriteCount(), before + 1);
  ASSERT_TRUE(terminal.Sync());
  {
    std::lock_guard<std::mutex> guard(terminal.lock());
    EXPECT_EQ(DifferenceFromModel(terminal), "");
  }
  // Many short presents in a row: at most one write per interval, and the last
  // output still reaches the screen without another call.
  before = win::stand_in::TerminalWriteCount();
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 300; ++i) Print(std::to_string(i) + " is PRIME!\r\n");
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  int writes = win::stand_in::TerminalWriteCount() - before;
  EXPECT_LE(writes, 2 + elapsed.count() / 10) << "in " << elapsed.count() << " ms";
  EXPECT_TRUE(terminal.WaitFor([&] { return terminal.Row(10) == "299 is PRIME!"; }, 2000));
  ASSERT_TRUE(Shown(terminal));
  std::lock_guard<std::mutex> guard(terminal.lock());
  EXPECT_EQ(DifferenceFromModel(terminal), "");
  EXPECT_TRUE(terminal.faults().empty()) << terminal.faults()[0];
}

TEST(TerminalOutput, RandomOperationsEndAsTheModel) {
  FakeTerminalSetup setup;
  setup.columns = 23;
  setup.rows = 9;
  FakeTerminal terminal(setup);
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  std::mt19937 random(2024);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 3000; ++step) {
    int what = below(10);
    if (what < 4) {
      win::SetConsoleOutputCP(below(2) ? 1252 : 437);
      std::string text(static_cast<size_t>(1 + below(30)), '\0');
      for (char& ch : text) ch = static_cast<char>(below(256));
      Put(below(23), below(9), text.substr(0, static_cast<size_t>(23 * 9)), static_cast<win::WORD>(below(256)));
    } else if (what < 7) {
      // Whole rows up within a band, several before a present, or a block of columns.
      int top = below(9), bottom = top + below(9 - top), lines = 1 + below(bottom - top + 1);
      bool wholeWidth = below(3) != 0;
      win::SMALL_RECT scroll{static_cast<win::SHORT>(wholeWidth ? 0 : below(10)), static_cast<win::SHORT>(top + lines),
                             static_cast<win::SHORT>(wholeWidth ? 22 : 10 + below(13)),
                             static_cast<win::SHORT>(bottom)};
      win::SMALL_RECT clip{scroll.Left, static_cast<win::SHORT>(top), scroll.Right, static_cast<win::SHORT>(bottom)};
      win::CHAR_INFO fill;
      fill.Char.AsciiChar = below(4) ? ' ' : '#';
      fill.Attributes = static_cast<win::WORD>(below(256));
      win::ScrollConsoleScreenBufferA(Out(), &scroll, &clip, {scroll.Left, static_cast<win::SHORT>(top)}, &fill);
    } else if (what < 8) {
      Print("text " + std::to_string(step) + (below(2) ? "\r\n" : ""));
    } else {
      Present(below(23), below(9));
    }
    if (step % 50 == 49) {
      Present(win::stand_in::ActiveConsole()->cursor.X, win::stand_in::ActiveConsole()->cursor.Y);
      ASSERT_TRUE(Shown(terminal));
      std::lock_guard<std::mutex> guard(terminal.lock());
      ASSERT_EQ(DifferenceFromModel(terminal), "") << "after step " << step;
    }
  }
  // More differing scrolls between two presents than the host keeps.
  for (int i = 0; i < 80; ++i) {
    win::SMALL_RECT scroll{0, static_cast<win::SHORT>(1 + i % 5), 22, 8},
        clip{0, static_cast<win::SHORT>(i % 5), 22, 8};
    win::CHAR_INFO fill;
    fill.Char.AsciiChar = ' ';
    fill.Attributes = static_cast<win::WORD>(i);
    Put(0, 8, std::to_string(i), 0x0F);
    win::ScrollConsoleScreenBufferA(Out(), &scroll, &clip, {0, static_cast<win::SHORT>(i % 5)}, &fill);
  }
  Present(3, 3);
  ASSERT_TRUE(Shown(terminal));
  std::lock_guard<std::mutex> guard(terminal.lock());
  EXPECT_EQ(DifferenceFromModel(terminal), "");
  EXPECT_TRUE(terminal.faults().empty()) << terminal.faults()[0];
}

}  // namespace
