// The terminal host on a pseudo-terminal, whose far side is a small terminal:
// start-up, cells in their colours and code pages, scrolls, batched writes,
// and typed keys.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

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
#include "platform/posix/console/terminal_console.h"
#include "platform/posix/kernel/code_page_text.h"
#include "platform/win.h"

namespace {

using win::stand_in::AppendUtf8;
using win::stand_in::GlyphOfConsoleByte;

// The far side of a pseudo-terminal: keeps what the host writes, types the
// reply to the cursor position query, and on Shown() applies the bytes to a
// grid of cells (glyph and SGR colours), recording whatever a real terminal
// would not take as text or as one of the sequences the host sends.
class FakeTerminal {
 public:
  struct Cell {
    std::string text = " ";
    int foreground = 0, background = 0;
  };
  // `answer`: keys, then the reply to the cursor position query; or nothing.
  explicit FakeTerminal(int columns = 40, int rows = 12, std::string answer = "\x1b[1;1R", char prefill = ' ')
      : columns_(columns), rows_(rows), bottom_(rows - 1), cells_(columns * rows, Cell{std::string(1, prefill)}) {
    winsize size{static_cast<unsigned short>(rows), static_cast<unsigned short>(columns), 0, 0};
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) std::abort();
    reader_ = std::thread([this, answer] {
      for (char bytes[4096]; !stop_;) {
        pollfd ready{master_, POLLIN, 0};
        ssize_t n = poll(&ready, 1, 20) == 1 ? read(master_, bytes, sizeof bytes) : 0;
        std::string chunk(bytes, static_cast<size_t>(std::max<ssize_t>(n, 0)));
        if (chunk.find("\x1b[6n") != std::string::npos && !answer.empty()) Type(answer);
        std::lock_guard<std::mutex> guard(lock_);
        written_ += chunk;
      }
    });
  }
  ~FakeTerminal() {
    stop_ = true;
    reader_.join();
    close(slave_);
    close(master_);
  }
  int slave() const { return slave_; }
  void Type(const std::string& bytes) { EXPECT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  // Waits until the host has written the bytes.
  bool WaitFor(const std::string& bytes) {
    for (int i = 0; i < 2500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
      std::lock_guard<std::mutex> guard(lock_);
      if (written_.find(bytes, applied_) != std::string::npos) return true;
    }
    return false;
  }
  // Flushes the host and applies everything it has written.
  void Shown() {
    win::stand_in::FlushTerminalConsole();
    const std::string mark = "\x1b[7777z";
    EXPECT_EQ(write(slave_, mark.data(), mark.size()), ssize_t(mark.size()));
    ASSERT_TRUE(WaitFor(mark)) << "the terminal never caught up";
    std::lock_guard<std::mutex> guard(lock_);
    for (size_t i = applied_, end = written_.find(mark, applied_) + mark.size(); i < end; applied_ = i) {
      unsigned char b = written_[i];
      size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;  // of a UTF-8 character
      if (written_.compare(i, 2, "\x1b[") == 0) {
        size_t final = written_.find_first_not_of("0123456789;?", i + 2);
        Sequence(written_.substr(i + 2, final - i - 2), written_[final]);
        i = final + 1;
      } else if ((b >= 0x20 && b < 0x7F) || (b >= 0xC2 && b <= 0xF4)) {
        Text(written_.substr(i, length));
        i += length;
      } else {
        faults.push_back("byte " + std::to_string(b));
        ++i;
      }
    }
  }

  // The screen as of the last Shown().
  const Cell& At(int x, int y) const { return cells_[static_cast<size_t>(y * columns_ + x)]; }
  std::string Row(int y) const {
    std::string row;
    for (int x = 0; x < columns_; ++x) row += At(x, y).text;
    return row.erase(row.find_last_not_of(' ') + 1);
  }
  size_t Received() const { return applied_; }
  int cursorX = 0, cursorY = 0;  // cursorX -1: after the last column, where terminals differ
  std::vector<std::string> faults;
  int scrolls = 0;

 private:
  void Text(const std::string& glyph) {
    if (cursorX < 0) return faults.push_back("text after the last column");
    cells_[static_cast<size_t>(cursorY * columns_ + cursorX)] = {glyph, foreground_, background_};
    cursorX = cursorX + 1 < columns_ ? cursorX + 1 : -1;
  }
  void Sequence(const std::string& parameters, char final) {
    int n[2] = {0, 0}, count = std::sscanf(parameters.c_str(), "%d;%d", &n[0], &n[1]);  // the host sends at most two
    auto number = [&](int i, int fallback) { return n[i] > 0 ? n[i] : fallback; };
    auto row = [&](int y) { return cells_.begin() + y * columns_; };
    if (parameters.find('?') != std::string::npos) {
      if (parameters + final != "?25h") faults.push_back("unknown CSI " + parameters + final);
    } else if (final == 'H') {
      cursorY = std::min(number(0, 1), rows_) - 1;
      cursorX = std::min(number(1, 1), columns_) - 1;
    } else if (final == 'J' && n[0] == 0) {
      std::fill(row(cursorY) + cursorX, cells_.end(), Cell{" ", 0, background_});
    } else if (final == 'S') {
      ++scrolls;
      for (int i = std::min(number(0, 1), bottom_ - top_ + 1); i > 0; --i) {
        std::copy(row(top_ + 1), row(bottom_ + 1), row(top_));
        std::fill(row(bottom_), row(bottom_ + 1), Cell{" ", 0, background_});
      }
    } else if (final == 'r') {
      top_ = number(0, 1) - 1;
      bottom_ = number(1, rows_) - 1;
      cursorX = cursorY = 0;
    } else if (final == 'm') {
      for (int code : std::vector<int>(n, n + std::max(count, 1))) {
        int group = code % 10 <= 7 ? code / 10 : 0;  // 3 and 9 foregrounds, 4 and 10 backgrounds
        if (group == 3 || group == 9)
          foreground_ = code;
        else if (group == 4 || group == 10)
          background_ = code;
        else if (code == 0)
          foreground_ = background_ = 0;
        else
          faults.push_back("SGR " + std::to_string(code));
      }
    } else if (!(final == 'n' && parameters == "6") && !(final == 'z' && parameters == "7777")) {
      faults.push_back("unknown CSI " + parameters + final);
    }
  }

  int columns_, rows_, top_ = 0, bottom_;
  std::vector<Cell> cells_;
  int foreground_ = 0, background_ = 0;  // SGR codes; 0 before any
  int master_ = -1, slave_ = -1;
  std::mutex lock_;
  std::string written_;  // all the host wrote
  size_t applied_ = 0;   // how much of it is on the screen
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

// SGR foreground code of each console colour (blue 1, green 2, red 4, bright 8); the background's is 10 more.
constexpr int Foreground[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

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

// Every cell of the terminal against the console model: glyph, background, and
// foreground where a glyph shows it; then the cursor and the faults.
std::string DifferenceFromModel(FakeTerminal& t) {
  t.Shown();
  win::stand_in::ScreenBuffer& c = *win::stand_in::ActiveConsole();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const win::stand_in::Cell& cell = c.At(x, y);
      std::string glyph;
      AppendUtf8(glyph, GlyphOfConsoleByte(static_cast<unsigned char>(cell.character), cell.codePage));
      const FakeTerminal::Cell& shown = t.At(x, y);
      if (shown.text != glyph || shown.background != Foreground[(cell.attributes >> 4) & 15] + 10 ||
          (glyph != " " && shown.foreground != Foreground[cell.attributes & 15]))
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
  FakeTerminal terminal(40, 12, "k\x1b[5;3R", 'x');  // a key typed before the reply is kept
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  EXPECT_EQ(Geometry(), "40x12 to 39,11 at 2,4");
  // Ctrl+S and Ctrl+Q are keys, not flow control; Enter stays a carriage
  // return; a lone Esc is the Esc key once nothing follows it in time.
  terminal.Type("1\x13\x11\r\x1b");
  EXPECT_EQ(KeysWithin(3000, 6), "k1\x13\x11\r\x1b");
  // A sequence whose rest comes soon after its Esc is one key.
  terminal.Type("\x1b[1;");
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  terminal.Type("5C");
  EXPECT_EQ(KeysWithin(300, 2), std::string(1, '\0'));
  // Cleared from the cursor on, in the console's colours; nothing typed is echoed.
  terminal.Shown();
  EXPECT_EQ(terminal.Row(3), std::string(40, 'x'));
  EXPECT_EQ(terminal.Row(4), "xx");
  for (int y = 5; y < 12; ++y) EXPECT_EQ(terminal.Row(y), "") << y;
  EXPECT_EQ(terminal.At(10, 8).background, 40);
  EXPECT_TRUE(terminal.faults.empty()) << terminal.faults[0];
  // A terminal that never replies: the output goes on at the bottom, as after a shell's prompt.
  FakeTerminal silent(40, 12, "");
  win::stand_in::UseTerminalConsole(silent.slave(), silent.slave());
  EXPECT_EQ(Geometry(), "40x12 to 39,11 at 0,11");
}

TEST(TerminalHost, OneWritePerPresentBurstsCoalescedAndScrollsByTheTerminal) {
  FakeTerminal terminal;
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  int before = win::stand_in::TerminalWriteCount();
  for (int y = 0; y < 12; ++y) Put(0, y, std::string(40, static_cast<char>('A' + y)), static_cast<win::WORD>(y));
  Present(0, 11);
  EXPECT_EQ(win::stand_in::TerminalWriteCount(), before + 1);
  EXPECT_EQ(DifferenceFromModel(terminal), "");
  // Many short presents: at most one write per interval; the last output
  // reaches the screen without another call; lines that scroll are not sent again.
  before = win::stand_in::TerminalWriteCount();
  size_t bytesBefore = terminal.Received();
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 300; ++i) Print(std::to_string(i) + " is PRIME!\r\n");
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LE(win::stand_in::TerminalWriteCount() - before, 2 + elapsed.count() / 10)
      << "in " << elapsed.count() << " ms";
  EXPECT_TRUE(terminal.WaitFor("299 is PRIME!"));
  EXPECT_EQ(DifferenceFromModel(terminal), "");
  EXPECT_GE(terminal.scrolls, 1);
  EXPECT_LT(terminal.Received() - bytesBefore, 300u * 30);
}

// Cells in every colour and in both code pages, scrolls of whole rows (several
// before a present) and of column blocks, teletype output and cursor moves.
TEST(TerminalHost, RandomOperationsEndAsTheModel) {
  FakeTerminal terminal(23, 9);
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  for (int colour = 0; colour < 16; ++colour)
    Put(colour, 0, "#", static_cast<win::WORD>(colour | ((15 - colour) << 4)));
  win::SetConsoleOutputCP(1252);
  Put(0, 1, std::string("m\xF8\x01\x1b\x07\x0a\x0d\x7f\x00\x81\x80", 11), 0x1E);  // controls shown as glyphs
  Present(0, 8);
  ASSERT_EQ(DifferenceFromModel(terminal), "");
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
  for (int step = 0; step < 3000; ++step) {
    if (int what = below(10); what < 4) {
      win::SetConsoleOutputCP(below(2) ? 1252 : 437);
      std::string text(static_cast<size_t>(1 + below(30)), '\0');
      for (char& ch : text) ch = static_cast<char>(below(256));
      Put(below(23), below(9), text, static_cast<win::WORD>(below(256)));
    } else if (what < 7) {
      int top = below(9), bottom = top + below(9 - top), left = below(3) ? 0 : below(10);
      scrollUp(left, top, left ? 10 + below(13) : 22, bottom, 1 + below(bottom - top + 1), below(4) ? ' ' : '#',
               below(256));
    } else if (what < 8) {
      Print("text " + std::to_string(step) + (below(2) ? "\r\n" : ""));
    } else {
      Present(below(23), below(9));
    }
    if (step % 50 == 49) {
      Present(win::stand_in::ActiveConsole()->cursor.X, win::stand_in::ActiveConsole()->cursor.Y);
      ASSERT_EQ(DifferenceFromModel(terminal), "") << "after step " << step;
    }
  }
  // More differing scrolls between two presents than the host keeps.
  for (int i = 0; i < 80; ++i) {
    Put(0, 8, std::to_string(i), 0x0F);
    scrollUp(0, i % 5, 22, 8, 1, ' ', i);
  }
  Present(3, 3);
  EXPECT_EQ(DifferenceFromModel(terminal), "");
}

}  // namespace
