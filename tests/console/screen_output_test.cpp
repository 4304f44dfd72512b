// Output through the terminal into the memory console: cells, cursor, wrapping,
// scrolling inside the window, the calls it costs.
#include <gtest/gtest.h>

#include "tests/console/terminal_fixture.h"

namespace {

using namespace console_test;

TEST(StartUp, TakesWindowAndAttributeFromTheConsole) {
  StartTerminal(Window(40, 20, {3, 2, 22, 11}, {0, 0}, 0x1E));
  EXPECT_EQ(crt::TextAttr, 0x1E);
  EXPECT_EQ(crt::WindMinX, 4u);
  EXPECT_EQ(crt::WindMinY, 3u);
  EXPECT_EQ(crt::WindMaxX, 23u);
  EXPECT_EQ(crt::WindMaxY, 12u);
  EXPECT_EQ(crt::WindMax, (11 << 8) + 22);
  EXPECT_EQ(rtl::Output.Mode, rtl::ModeOutput);
  EXPECT_EQ(rtl::Output.InOutFunc, crt::CrtWrite);
  EXPECT_EQ(rtl::Input.Mode, rtl::ModeInput);
  EXPECT_EQ(rtl::Input.InOutFunc, crt::CrtRead);
  EXPECT_EQ(rtl::Input.FlushFunc, crt::CrtReturn);
}

TEST(ControlCharacters, MoveTheCursorWithoutWritingCells) {
  StartTerminal(Window(20, 5, {0, 0, 19, 4}, {4, 1}));
  Write("ab\a");
  EXPECT_EQ(mem::RowText(1), "    ab");
  EXPECT_EQ(mem::CursorAt().X, 6);
  Write("\b\bX");  // back two, no erasing
  EXPECT_EQ(mem::RowText(1), "    Xb");
  Write("\n");  // down, same column
  EXPECT_EQ(mem::CursorAt().X, 5);
  EXPECT_EQ(mem::CursorAt().Y, 2);
  Write("\r");
  EXPECT_EQ(mem::CursorAt().X, 0);
  Write("\b\b");  // nothing at the window's left column
  EXPECT_EQ(mem::CursorAt().X, 0);
  EXPECT_EQ(mem::CursorAt().Y, 2);
  Write(std::string_view("\t\0z", 3));  // written as cells, not expanded
  EXPECT_EQ(mem::CellAt(0, 2).character, '\t');
  EXPECT_EQ(mem::CellAt(1, 2).character, '\0');
  EXPECT_EQ(mem::CellAt(2, 2).character, 'z');
  EXPECT_EQ(mem::CursorAt().X, 3);
}

TEST(Wrapping, HappensRightAfterTheLastColumn) {
  StartTerminal(Window(10, 6, {0, 0, 9, 5}));
  WriteLn("0123456789");  // exactly the width: the line end adds an empty line
  WriteLn("x");
  EXPECT_EQ(mem::RowText(0), "0123456789");
  EXPECT_EQ(mem::RowText(1), "");
  EXPECT_EQ(mem::RowText(2), "x");
  Write("abcdefghijklm");  // a run longer than the rest of the line
  EXPECT_EQ(mem::RowText(3), "abcdefghij");
  EXPECT_EQ(mem::RowText(4), "klm");
  EXPECT_EQ(mem::CursorAt().X, 3);
  EXPECT_EQ(mem::CursorAt().Y, 4);
}

TEST(Scrolling, MovesOnlyTheWindowAndFillsWithTheAttribute) {
  StartTerminal(Window(12, 6, {2, 1, 8, 3}, {2, 1}, 0x2F));
  crt::TextAttr = 0x4E;
  // Marks outside the window must survive every scroll.
  win::HANDLE out = win::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD done;
  for (SHORT y = 0; y < 6; ++y) {
    win::WriteConsoleOutputCharacterA(out, "##", 2, {0, y}, &done);
    win::WriteConsoleOutputCharacterA(out, "###", 3, {9, y}, &done);
  }
  win::WriteConsoleOutputCharacterA(out, "top", 3, {2, 0}, &done);
  win::WriteConsoleOutputCharacterA(out, "low", 3, {2, 4}, &done);
  for (const char* line : {"one", "two", "three", "four", "five"}) WriteLn(line);
  EXPECT_EQ(mem::RowText(0), "##top    ###");
  EXPECT_EQ(mem::RowText(1), "##four   ###");
  EXPECT_EQ(mem::RowText(2), "##five   ###");
  EXPECT_EQ(mem::RowText(3), "##       ###");
  EXPECT_EQ(mem::RowText(4), "##low    ###");
  EXPECT_EQ(mem::CellAt(5, 3).attributes, 0x4E);  // the blank line brought in
  EXPECT_EQ(mem::CellAt(3, 1).attributes, 0x4E);
  EXPECT_EQ(mem::CellAt(0, 3).attributes, 0x2F);
  EXPECT_EQ(mem::CellAt(9, 3).attributes, 0x2F);
  EXPECT_EQ(mem::CursorAt().X, 2);
  EXPECT_EQ(mem::CursorAt().Y, 3);
}

TEST(LongRuns, ReachTheScreenCompleteAndInOrder) {
  StartTerminal(Window(50, 12, {0, 0, 49, 11}));
  rtl::TextRec& out = rtl::Output;
  for (int i = 0; i < out.BufSize; ++i) out.BufPtr[i] = static_cast<char>('A' + i % 26);
  out.BufPos = out.BufSize;
  crt::CrtWrite(out);
  EXPECT_EQ(out.BufPos, 0);
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(mem::CellAt(static_cast<SHORT>(i % 50), static_cast<SHORT>(i / 50)).character, 'A' + i % 26) << i;
  EXPECT_EQ(mem::CursorAt().X, 256 % 50);
  EXPECT_EQ(mem::CursorAt().Y, 256 / 50);
}

TEST(ConsoleCalls, TwoPerCharacterOneCursorMoveAndTheCodePageRestored) {
  StartTerminal();
  win::SetConsoleOutputCP(437);
  mem::ResetCallCounts();
  WriteLn("m\xF8 prime");
  mem::ConsoleCallCounts counts = mem::CallCounts();
  EXPECT_EQ(counts.writeCharacter, 8);
  EXPECT_EQ(counts.writeAttribute, 8);
  EXPECT_EQ(counts.setCursor, 1);  // the write statement and its line end flush once
  EXPECT_EQ(mem::OutputCodePage(), 437u);
  EXPECT_EQ(mem::CellAt(1, 0).character, '\xF8');
  EXPECT_EQ(mem::CellAt(1, 0).attributes, 0x07);
}

}  // namespace
