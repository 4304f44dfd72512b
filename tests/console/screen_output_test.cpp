// Output through the terminal into the memory console: cells, cursor, wrapping,
// scrolling inside the window, the calls it costs.
#include <gtest/gtest.h>

#include "tests/console/terminal_fixture.h"

namespace {

using namespace console_test;

TEST(ScreenOutput, ControlCharactersAndWrappingAtTheWindowsWidth) {
  StartTerminal(Window(20, 5, {0, 0, 19, 4}, {4, 1}));
  Write("ab\a\b\bX");  // the bell does nothing; back two, erasing nothing
  EXPECT_EQ(mem::RowText(1), "    Xb");
  Write("\n");  // down, same column
  EXPECT_EQ(Cursor(), "5,2");
  Write("\r\b\b");  // to the window's left column, and not past it
  EXPECT_EQ(Cursor(), "0,2");
  Write(std::string_view("\t\0z", 3));  // other controls are cells, not expanded
  EXPECT_EQ(std::string() + mem::CellAt(0, 2).character + mem::CellAt(1, 2).character + mem::CellAt(2, 2).character,
            std::string("\t\0z", 3));
  EXPECT_EQ(Cursor(), "3,2");
  // Wrapping comes right after the last column.
  StartTerminal(Window(10, 6, {0, 0, 9, 5}));
  WriteLn("0123456789");  // exactly the width: the line end adds an empty line
  WriteLn("x");
  Write("abcdefghijklm");  // a run longer than the rest of the line
  EXPECT_EQ(Rows(0, 4), "0123456789||x|abcdefghij|klm");
  EXPECT_EQ(Cursor(), "3,4");
}

TEST(ScreenOutput, ScrollingMovesOnlyTheWindowAndFillsWithTheTextAttribute) {
  StartTerminal(Window(12, 6, {2, 1, 8, 3}, {2, 1}, 0x2F));
  EXPECT_EQ(crt::TextAttr, 0x2F);  // taken from the console
  crt::TextAttr = 0x4E;
  DWORD done;
  WriteConsoleOutputCharacterA(GetStdHandle(STD_OUTPUT_HANDLE), std::string(72, '#').data(), 72, {0, 0}, &done);
  for (const char* line : {"one", "two", "three", "four", "five"}) WriteLn(line);
  EXPECT_EQ(Rows(0, 5), "############|##four   ###|##five   ###|##       ###|############|############");
  EXPECT_EQ(mem::CellAt(5, 3).attributes, 0x4E);  // the blank line brought in
  EXPECT_EQ(mem::CellAt(0, 3).attributes, 0x2F);
  EXPECT_EQ(mem::CellAt(9, 3).attributes, 0x2F);
  EXPECT_EQ(mem::CellAt(5, 0).attributes, 0x2F);
  EXPECT_EQ(Cursor(), "2,3");
}

TEST(ScreenOutput, RunsLongerThanAShortStringReachTheScreenComplete) {
  StartTerminal(Window(50, 12, {0, 0, 49, 11}));
  rtl::TextRec& out = rtl::Output;
  for (int i = 0; i < out.BufSize; ++i) out.BufPtr[i] = static_cast<char>('A' + i % 26);
  out.BufPos = out.BufSize;
  crt::CrtWrite(out);
  EXPECT_EQ(out.BufPos, 0);
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(mem::CellAt(static_cast<SHORT>(i % 50), static_cast<SHORT>(i / 50)).character, 'A' + i % 26) << i;
  EXPECT_EQ(Cursor(), "6,5");
}

TEST(ScreenOutput, TwoCallsPerCharacterOneCursorMoveAndTheCodePageRestored) {
  StartTerminal();
  SetConsoleOutputCP(437);
  mem::ResetCallCounts();
  WriteLn("m\xF8 prime");
  mem::ConsoleCallCounts counts = mem::CallCounts();
  EXPECT_EQ(counts.writeCharacter, 8);
  EXPECT_EQ(counts.writeAttribute, 8);
  EXPECT_EQ(counts.setCursor, 1);  // the write statement and its line end flush once
  EXPECT_EQ(mem::OutputCodePage(), 437u);
  EXPECT_EQ(mem::CellAt(1, 0).character, '\xF8');
}

}  // namespace
