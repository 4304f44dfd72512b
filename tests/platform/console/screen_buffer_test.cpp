// The screen buffer's cell operations on the memory host: writes along rows up
// to the buffer's end, and scrolls with their scroll, clip and fill rectangles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/testing/memory_console.h"
#include "platform/win.h"

namespace {

namespace mem = win::stand_in;

win::HANDLE Out() {
  return win::GetStdHandle(STD_OUTPUT_HANDLE);
}

// A 6x4 buffer of the letters a to x, each row in its own attribute (1 to 4),
// written after `turns` scrolls of the whole buffer.
void StartLetters(int turns = 0) {
  mem::UseMemoryConsole({6, 4, {0, 0, 5, 3}, 0x07, {0, 0}});
  const win::SMALL_RECT belowTop{0, 1, 5, 3};
  win::CHAR_INFO fill{};
  for (int i = 0; i < turns; ++i) win::ScrollConsoleScreenBufferA(Out(), &belowTop, nullptr, {0, 0}, &fill);
  std::string letters;
  std::vector<win::WORD> rows;
  for (int i = 0; i < 24; ++i) letters += static_cast<char>('a' + i), rows.push_back(static_cast<win::WORD>(i / 6 + 1));
  win::DWORD n;
  win::WriteConsoleOutputCharacterA(Out(), letters.data(), 24, {0, 0}, &n);
  win::WriteConsoleOutputAttribute(Out(), rows.data(), 24, {0, 0}, &n);
}

TEST(ScreenBuffer, CellWritesRunAlongRowsAndStopAtTheBuffersEnd) {
  StartLetters();
  win::DWORD n = 0;
  ASSERT_TRUE(win::WriteConsoleOutputCharacterA(Out(), "12345", 5, {4, 2}, &n));
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(mem::RowText(2), "mnop12");
  EXPECT_EQ(mem::RowText(3), "345vwx");
  const win::WORD attributes[] = {9, 9, 9};
  ASSERT_TRUE(win::WriteConsoleOutputAttribute(Out(), attributes, 3, {4, 3}, &n));
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(mem::CellAt(5, 3).attributes, 9);
  EXPECT_EQ(mem::RowText(3), "345vwx");
  win::WriteConsoleOutputCharacterA(Out(), "z", 1, {6, 0}, &n);  // past the row's end: nothing
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(mem::RowText(0), "abcdef");
}

// What a file write puts on the console: a tab goes on to the next multiple
// of eight columns, from a column within a stop's span or on a stop itself.
TEST(ScreenBuffer, FileWritesExpandTabsToEveryEighthColumn) {
  mem::UseMemoryConsole({20, 3, {0, 0, 19, 2}, 0x07, {0, 0}});
  const char text[] = "a\tbcdefgh\tx\r\n\t\ty";
  win::DWORD n = 0;
  ASSERT_TRUE(win::WriteFile(Out(), text, sizeof text - 1, &n, nullptr));
  EXPECT_EQ(mem::RowText(0), "a       bcdefgh x");
  EXPECT_EQ(mem::RowText(1), "                y");
  EXPECT_EQ(mem::CursorAt().X, 17);
}

TEST(ScreenBuffer, ScrollMovesTheSourceAndFillsWhatItLeftWithinTheClip) {
  const win::SMALL_RECT all{0, 0, 5, 3}, middleColumns{1, 0, 4, 3}, upperRows{0, 0, 5, 2};
  const struct {
    win::SMALL_RECT scroll;
    const win::SMALL_RECT* clip;  // none: the whole buffer
    win::COORD destination;
    std::vector<std::string> rows;  // '.' is the fill
  } cases[] = {
      {{0, 1, 5, 3}, nullptr, {0, 0}, {"ghijkl", "mnopqr", "stuvwx", "......"}},
      {{0, -1, 5, 3}, nullptr, {0, -3}, {"mnopqr", "stuvwx", "......", "......"}},
      // Rows between the target and the source keep their cells.
      {{0, 3, 5, 3}, nullptr, {0, 0}, {"stuvwx", "ghijkl", "mnopqr", "......"}},
      // Columns outside the clip neither move nor take the fill.
      {{0, 1, 5, 3}, &middleColumns, {0, 0}, {"ahijkf", "gnopql", "mtuvwr", "s....x"}},
      // Overlapping down and right: the source is read before it is overwritten.
      {{0, 0, 2, 1}, &all, {1, 1}, {"...def", ".abckl", "mghiqr", "stuvwx"}},
      // Rows below the clip keep their cells though the move reaches them.
      {{0, 0, 5, 1}, &upperRows, {0, 2}, {"......", "......", "abcdef", "stuvwx"}},
      // What would land outside the buffer is lost.
      {{0, 0, 5, 0}, &all, {3, 3}, {"......", "ghijkl", "mnopqr", "stuabc"}},
  };
  for (int turns : {0, 1, 3})
    for (const auto& c : cases) {
      SCOPED_TRACE(c.rows[0] + " " + c.rows[1] + " " + c.rows[2] + " " + c.rows[3] + " after " + std::to_string(turns));
      StartLetters(turns);
      win::CHAR_INFO fill;
      fill.Char.AsciiChar = '.';
      fill.Attributes = 0x1F;
      ASSERT_TRUE(win::ScrollConsoleScreenBufferA(Out(), &c.scroll, c.clip, c.destination, &fill));
      for (win::SHORT y = 0; y < 4; ++y) {
        EXPECT_EQ(mem::RowText(y), c.rows[static_cast<size_t>(y)]);
        for (win::SHORT x = 0; x < 6; ++x) {
          char ch = c.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
          EXPECT_EQ(mem::CellAt(x, y).attributes, ch == '.' ? 0x1F : (ch - 'a') / 6 + 1) << x << "," << y;
        }
      }
    }
}

}  // namespace
