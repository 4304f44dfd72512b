// Key events into characters and extended codes: the mapping tables, Alt+numpad
// codes, and the events that are never keys.
#include <gtest/gtest.h>

#include <string>

#include "tests/console/terminal_fixture.h"

namespace {

using namespace console_test;

constexpr DWORD RightAlt = 0x01, LeftAlt = 0x02, LeftCtrl = 0x08, Shift = 0x10, Enhanced = 0x100;

// Everything ReadKey returns while keys are pending, extended codes as "0,code".
std::string Keys() {
  std::string keys;
  while (crt::KeyPressed()) {
    char c = crt::ReadKey();
    if (!keys.empty()) keys += ' ';
    if (c == 0)
      keys += "0," + std::to_string(static_cast<uint8_t>(crt::ReadKey()));
    else
      keys += std::to_string(static_cast<uint8_t>(c));
  }
  return keys;
}

void PushEvent(WORD eventType) {
  INPUT_RECORD record{};
  record.EventType = eventType;
  mem::PushInput(record);
}

void PushKeyUp(WORD virtualKey, WORD scan, DWORD state = 0) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  record.Event.KeyEvent.wVirtualScanCode = scan;
  record.Event.KeyEvent.dwControlKeyState = state;
  mem::PushInput(record);
}

void PushKeyDownOnly(WORD virtualKey, WORD scan, char character, DWORD state) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = TRUE;
  record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  record.Event.KeyEvent.wVirtualScanCode = scan;
  record.Event.KeyEvent.uChar.AsciiChar = character;
  record.Event.KeyEvent.dwControlKeyState = state;
  mem::PushInput(record);
}

TEST(KeyMapping, FunctionAndCursorKeysWithTheirModifiers) {
  StartTerminal();
  PushKeyDown(VK_F1, 59, 0);
  PushKeyDown(VK_F1, 59, 0, Shift);
  PushKeyDown(VK_F1, 59, 0, LeftCtrl);
  PushKeyDown(VK_F1, 59, 0, LeftAlt);
  PushKeyDown(VK_F11, 87, 0);
  PushKeyDown(VK_F12, 88, 0, Shift);
  PushKeyDown(VK_UP, 72, 0, Enhanced);
  PushKeyDown(VK_HOME, 71, 0, Enhanced | LeftCtrl);
  PushKeyDown('X', 45, 'x', LeftAlt);
  PushKeyDown('1', 2, '1', LeftAlt);
  PushKeyDown(VK_NUMPAD5, 76, 0, LeftCtrl);
  EXPECT_EQ(Keys(), "0,59 0,84 0,94 0,104 0,133 0,136 0,72 0,119 0,45 0,120 0,143");
}

TEST(KeyMapping, TabEnterAndAltGr) {
  StartTerminal();
  PushKeyDown(VK_TAB, 15, '\t');
  PushKeyDown(VK_TAB, 15, '\t', Shift);
  PushKeyDown(VK_RETURN, 28, '\r', Enhanced);             // keypad Enter
  PushKeyDown(VK_RETURN, 28, '\n', Enhanced | LeftCtrl);  // with Ctrl: a plain #10
  PushKeyDown(VK_RETURN, 28, '\r', Enhanced | LeftAlt);
  PushKeyDown('Q', 16, '@', RightAlt | LeftCtrl);  // AltGr gives the character
  PushKeyDown(VK_DIVIDE, 53, '/', Enhanced);
  EXPECT_EQ(Keys(), "9 0,15 13 10 0,166 64 0,53");
}

TEST(KeyMapping, EventsThatAreNoKeysNeverMakeKeyPressedTrue) {
  StartTerminal();
  for (WORD modifier : {16, 17, 18, 20, 144, 145}) PushKeyDown(modifier, 0, 0);
  PushEvent(MOUSE_EVENT);
  PushEvent(WINDOW_BUFFER_SIZE_EVENT);
  PushEvent(FOCUS_EVENT);
  PushEvent(MENU_EVENT);
  PushKeyUp('A', 30);
  PushKeyDown(0xFF, 0, 0);  // no character and no scan code: no extended code either
  EXPECT_FALSE(crt::KeyPressed());
  EXPECT_EQ(mem::PendingInputEvents(), 0);  // all taken from the queue
  PushKeyDown('A', 30, 'a');
  PushKeyDown('B', 48, 'b');
  EXPECT_TRUE(crt::KeyPressed());
  EXPECT_TRUE(crt::KeyPressed());  // pending: no further event read
  EXPECT_EQ(mem::PendingInputEvents(), 3);
  EXPECT_EQ(crt::ReadKey(), 'a');
}

TEST(AltNumpad, DigitsMakeOneCharacterModulo256) {
  StartTerminal();
  auto typeCode = [](std::initializer_list<int> scans) {
    for (int scan : scans) PushKeyDown(VK_NUMPAD0, static_cast<WORD>(scan), 0, LeftAlt);
    PushKeyUp(VK_MENU, 56);
  };
  typeCode({77, 76});      // 6, 5
  typeCode({81, 82, 82});  // 3, 0, 0
  typeCode({82});          // 0: nothing
  typeCode({79});          // 1: starts again from 0
  EXPECT_EQ(Keys(), "65 44 1");
  EXPECT_FALSE(crt::DoingNumChars);
  // Grey cursor keys share the keypad's scan codes, so they count as digits too.
  PushKeyDown(VK_UP, 72, 0, Enhanced | LeftAlt);
  PushKeyDown(VK_UP, 72, 0, Enhanced | LeftAlt);
  PushKeyUp(VK_MENU, 56);
  EXPECT_EQ(Keys(), "88");
}

TEST(KeyWait, ReadKeyWaitsForAKeyWithoutLosingIt) {
  StartTerminal();
  PushKeyDownOnly(VK_SHIFT, 42, 0, Shift);
  PushKeyDownOnly('K', 37, 'K', Shift);
  EXPECT_EQ(crt::ReadKey(), 'K');
  EXPECT_FALSE(crt::KeyPressed());
  EXPECT_EQ(crt::ScanCode, 0);
}

}  // namespace
