// Line input with echo: replace-mode editing, the editing keys, the line's
// limit, and the key left pending by a stopped search.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/main_routine.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/testing/memory_display.h"
#include "tests/console/terminal_fixture.h"
#include "tests/support/child_process.h"

namespace {

using namespace console_test;

void PushExtended(WORD virtualKey, WORD scan) {
  mem::PushKey(virtualKey, scan, 0, 0x100);
}
constexpr WORD Home = 71, Left = 75, Right = 77, End = 79;

TEST(LineInput, ReplaceModeWithHomeEndLeftRightAndHomeOnAWrappedLine) {
  StartTerminal(Window(40, 5, {0, 0, 39, 4}, {3, 1}));
  mem::PushText("abcd");
  PushExtended(VK_HOME, Home);
  mem::PushText("XY");  // replaces, does not insert
  PushExtended(VK_RIGHT, Right);
  PushExtended(VK_LEFT, Left);
  mem::PushText("Z");
  PushExtended(VK_END, End);
  mem::PushText("e");
  PushExtended(VK_HOME, Home);
  mem::PushText("\r");  // Enter keeps what is right of the editing position
  EXPECT_EQ(ReadLine(), "XYZde\r\n");
  EXPECT_EQ(mem::RowText(1), "   XYZde");
  EXPECT_EQ(Cursor(), "0,2");
  // Home on a line wrapped in a window stops at the window's left column.
  StartTerminal(Window(20, 6, {5, 0, 14, 5}, {5, 0}));
  mem::PushText("abcdefghijklmno");
  PushExtended(VK_HOME, Home);
  mem::PushText("\r");
  EXPECT_EQ(ReadLine(), "abcdefghijklmno\r\n");
  // The cursor went back along the second row only; Enter then started row 2.
  EXPECT_EQ(Rows(0, 1), "     abcdefghij|     klmno");
  EXPECT_EQ(Cursor(), "5,2");
}

TEST(LineInput, BackspaceOnlyAtTheEndAndEscAndCtrlYClear) {
  StartTerminal();
  mem::PushText("abc\b");
  PushExtended(VK_LEFT, Left);
  mem::PushText("\b");  // in the middle: nothing
  PushExtended(VK_END, End);
  mem::PushKey('S', 31, 19, 0x08);  // Ctrl+S erases like Backspace
  mem::PushText("\r");
  EXPECT_EQ(ReadLine(), "a\r\n");
  // Esc and Ctrl+Y clear the whole line from anywhere in it.
  mem::PushText("hello");
  PushExtended(VK_LEFT, Left);
  PushExtended(VK_LEFT, Left);
  mem::PushText("\033ab\r");
  EXPECT_EQ(ReadLine(), "ab\r\n");
  mem::PushText("xyz");
  PushExtended(VK_LEFT, Left);
  mem::PushKey('Y', 21, 25, 0x08);
  mem::PushText("7\r");
  EXPECT_EQ(ReadLine(), "7\r\n");
  EXPECT_EQ(Rows(0, 2), "a|ab|7");
}

TEST(LineInput, HoldsAtMost254CharactersAndIgnoresUnusedKeys) {
  StartTerminal(Window(80, 10, {0, 0, 79, 9}));
  mem::PushText(std::string(300, 'q'));
  PushExtended(VK_F1, 59);
  mem::PushKey('Z', 44, 26, 0x08);  // Ctrl+Z without the end-of-file check
  mem::PushText("\r");
  EXPECT_EQ(ReadLine(), std::string(254, 'q') + "\r\n");
  EXPECT_EQ(mem::RowText(3), std::string(254 - 240, 'q'));
}

// The whole program on the memory console; its screen comes back on stdout.
std::string ProgramScreen(void (*type)()) {
  auto r = testing_support::RunInChild([type] {
    mem::UseMemoryConsole();
    win::stand_in::UseMemoryDisplay();
    type();
    mem::TypeWhenWaiting("\r");  // the key for the plot, which also ends its last line
    win::stand_in::RegisterExitHook([] {
      std::string screen = Rows(0, 24) + "|";
      if (write(1, screen.data(), screen.size()) < 0) return;
    });
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
  EXPECT_NE(screen.find("2 is PRIME!|LastP=2 NumPtot=1 NumOP=1|m\xF8 prime search<=1646:5|"), std::string::npos)
      << screen;
  EXPECT_NE(screen.find("LastP=11 NumPtot=5 NumOP="), std::string::npos) << screen;
}

TEST(PendingKey, EnterPressedDuringASearchEndsTheNextLineEmpty) {
  std::string screen = ProgramScreen([] {
    mem::PushText("1646\r\r");
    mem::TypeWhenWaiting("0\r");
  });
  // The empty line holds no number, so the reader takes the next line.
  EXPECT_NE(screen.find("LastP=2 NumPtot=1 NumOP=1|m\xF8 prime search<=1646:|0|LastP=-1 NumPtot=0 NumOP=0|"),
            std::string::npos)
      << screen;
}

}  // namespace
