// Keys typed on a pseudo-terminal reaching the console's input queue.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/posix/console/terminal_console.h"
#include "platform/win.h"
#include "tests/platform/console/fake_terminal.h"

namespace {

using testing_support::FakeTerminal;

win::HANDLE In() {
  return win::GetStdHandle(STD_INPUT_HANDLE);
}

// Polls as the terminal's key polling does, once a millisecond.
std::vector<win::KEY_EVENT_RECORD> KeyDownsWithin(int milliseconds, size_t wanted) {
  std::vector<win::KEY_EVENT_RECORD> keys;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (keys.size() < wanted && std::chrono::steady_clock::now() < deadline) {
    win::DWORD count = 0;
    if (!win::GetNumberOfConsoleInputEvents(In(), &count)) break;
    while (count-- > 0) {
      win::INPUT_RECORD record;
      win::DWORD read = 0;
      win::ReadConsoleInputA(In(), &record, 1, &read);
      if (read == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
        keys.push_back(record.Event.KeyEvent);
    }
    win::Sleep(1);
  }
  return keys;
}

TEST(TerminalInput, TypedKeysBecomeKeyEvents) {
  FakeTerminal terminal;
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  // Ctrl+S and Ctrl+Q are keys, not flow control; Enter stays a carriage return.
  terminal.Type("1\x1b[A\xc3\xb8\x13\x11\r");
  auto keys = KeyDownsWithin(3000, 6);
  ASSERT_EQ(keys.size(), 6u);
  EXPECT_EQ(keys[0].uChar.AsciiChar, '1');
  EXPECT_EQ(keys[1].wVirtualKeyCode, VK_UP);
  EXPECT_EQ(keys[1].dwControlKeyState, static_cast<win::DWORD>(ENHANCED_KEY));
  EXPECT_EQ(keys[2].uChar.AsciiChar, '\xf8');
  EXPECT_EQ(keys[3].uChar.AsciiChar, 19);
  EXPECT_EQ(keys[4].uChar.AsciiChar, 17);
  EXPECT_EQ(keys[5].wVirtualKeyCode, VK_RETURN);
  EXPECT_EQ(keys[5].uChar.AsciiChar, '\r');
  // Nothing typed is echoed by the terminal itself.
  ASSERT_TRUE(terminal.Sync());
  std::lock_guard<std::mutex> guard(terminal.lock());
  for (int y = 0; y < 12; ++y) EXPECT_EQ(terminal.Row(y), "") << y;
}

TEST(TerminalInput, LoneEscapeIsTheEscapeKeyAndASplitSequenceIsOneKey) {
  FakeTerminal terminal;
  win::stand_in::UseTerminalConsole(terminal.slave(), terminal.slave());
  terminal.Type("\x1b");
  auto keys = KeyDownsWithin(3000, 1);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].wVirtualKeyCode, VK_ESCAPE);
  EXPECT_EQ(keys[0].uChar.AsciiChar, 27);
  // A sequence whose rest comes soon after its Esc.
  terminal.Type("\x1b[1;");
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  terminal.Type("5C");
  keys = KeyDownsWithin(300, 2);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].wVirtualKeyCode, VK_RIGHT);
  EXPECT_EQ(keys[0].dwControlKeyState, static_cast<win::DWORD>(ENHANCED_KEY | LEFT_CTRL_PRESSED));
}

}  // namespace
