// Line input with echo: replace-mode editing, the editing keys, the line's
// limit, and the key left pending by a stopped search.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/main_routine.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/user/memory_display.h"
#include "tests/console/terminal_fixture.h"
#include "tests/support/child_process.h"

namespace {

using namespace console_test;

constexpr DWORD Enhanced = 0x100;

void PushExtended(WORD virtualKey, WORD scan) {
  PushKeyDown(virtualKey, scan, 0, Enhanced);
}

TEST(LineInput, ReplaceModeWithHomeEndLeftRight) {
  StartTerminal(Window(40, 5, {0, 0, 39, 4}, {3, 1}));
  mem::PushText("abcd");
  PushExtended(VK_HOME, 71);
  mem::PushText("XY");
  PushExtended(VK_RIGHT, 77);
  PushExtended(VK_LEFT, 75);
  mem::PushText("Z");
  PushExtended(VK_END, 79);
  mem::PushText("e\r");
  EXPECT_EQ(ReadLine(), "XYZde\r\n");
  EXPECT_EQ(mem::RowText(1), "   XYZde");
  EXPECT_EQ(mem::CursorAt().X, 0);
  EXPECT_EQ(mem::CursorAt().Y, 2);
}

TEST(LineInput, EnterKeepsWhatIsRightOfTheEditingPosition) {
  StartTerminal();
  mem::PushText("12345");
  PushExtended(VK_HOME, 71);
  mem::PushText("9\r");
  EXPECT_EQ(ReadLine(), "92345\r\n");
}

TEST(LineInput, BackspaceActsOnlyAtTheEnd) {
  StartTerminal();
  mem::PushText("abc\b");
  PushExtended(VK_LEFT, 75);
  mem::PushText("\b");  // in the middle: nothing
  PushExtended(VK_END, 79);
  PushKeyDown('S', 31, 19, 0x08);  // Ctrl+S erases like Backspace
  mem::PushText("\r");
  EXPECT_EQ(ReadLine(), "a\r\n");
  EXPECT_EQ(mem::RowText(0), "a");
}

TEST(LineInput, EscAndCtrlYClearTheLine) {
  StartTerminal();
  mem::PushText("hello");
  PushExtended(VK_LEFT, 75);
  PushExtended(VK_LEFT, 75);
  mem::PushText(
      "\x1b"
      "ab");
  PushKeyDown('Y', 21, 25, 0x08);
  mem::PushText("7\r");
  EXPECT_EQ(ReadLine(), "7\r\n");
  EXPECT_EQ(mem::RowText(0), "7");
}

TEST(LineInput, HoldsAtMost254CharactersAndIgnoresUnusedKeys) {
  StartTerminal(Window(80, 10, {0, 0, 79, 9}));
  mem::PushText(std::string(300, 'q'));
  PushExtended(VK_F1, 59);
  PushKeyDown('Z', 44, 26, 0x08);  // Ctrl+Z without the end-of-file check
  mem::PushText("\r");
  std::string line = ReadLine();
  EXPECT_EQ(line, std::string(254, 'q') + "\r\n");
  EXPECT_EQ(mem::RowText(3), std::string(254 - 240, 'q'));
}

TEST(LineInput, HomeOnAWrappedLineStopsAtTheWindowsLeftColumn) {
  StartTerminal(Window(20, 6, {5, 0, 14, 5}, {5, 0}));
  mem::PushText("abcdefghijklmno");
  PushExtended(VK_HOME, 71);
  mem::PushText("\r");
  EXPECT_EQ(ReadLine(), "abcdefghijklmno\r\n");
  // The cursor went back along the second row only; Enter then started row 2.
  EXPECT_EQ(mem::RowText(0), "     abcdefghij");
  EXPECT_EQ(mem::RowText(1), "     klmno");
  EXPECT_EQ(mem::CursorAt().Y, 2);
  EXPECT_EQ(mem::CursorAt().X, 5);
}

void DumpScreen() {
  for (SHORT y = 0; y < 25; ++y) {
    std::string row = mem::RowText(y) + "\n";
    if (write(1, row.data(), row.size()) < 0) return;
  }
}

// The whole program on the memory console; its screen comes back on stdout.
std::string ProgramScreen(void (*type)()) {
  auto r = testing_support::RunInChild([type] {
    mem::UseMemoryConsole();
    win::stand_in::UseMemoryDisplay();
    type();
    mem::TypeWhenWaiting("\r");  // the key for the plot, which also ends its last line
    win::stand_in::RegisterExitHook(DumpScreen);
    rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
  });
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.out;
}

TEST(PendingKey, StopsTheSearchAndBecomesTheNextLinesFirstCharacter) {
  std::string screen = ProgramScreen([] {
    mem::PushText("1646\r5");  // the "5" is typed while the search runs: it stops at once
    mem::TypeWhenWaiting("\r");
    mem::TypeWhenWaiting("0\r");
  });
  EXPECT_NE(screen.find("2 is PRIME!\nLastP=2 NumPtot=1 NumOP=1\nm\xF8 prime search<=1646:5\n"), std::string::npos)
      << screen;
  EXPECT_NE(screen.find("LastP=11 NumPtot=5 NumOP="), std::string::npos) << screen;
}

TEST(PendingKey, EnterPressedDuringASearchEndsTheNextLineEmpty) {
  std::string screen = ProgramScreen([] {
    mem::PushText("1646\r\r");
    mem::TypeWhenWaiting("0\r");
  });
  // The empty line holds no number, so the reader takes the next line.
  EXPECT_NE(screen.find("LastP=2 NumPtot=1 NumOP=1\nm\xF8 prime search<=1646:\n0\nLastP=-1 NumPtot=0 NumOP=0\n"),
            std::string::npos)
      << screen;
}

}  // namespace
