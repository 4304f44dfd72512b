// Key events into characters and extended codes: the mapping tables, Alt+numpad
// codes, and the events that are never keys.
#include <gtest/gtest.h>

#include <string>

#include "tests/console/terminal_fixture.h"

namespace {

using namespace console_test;

// Everything ReadKey returns while keys are pending, extended codes as "0,code".
std::string Keys() {
  std::string keys;
  while (crt::KeyPressed()) {
    char c = crt::ReadKey();
    keys += (keys.empty() ? "" : " ") +
            (c ? std::to_string(static_cast<uint8_t>(c)) : "0," + std::to_string(static_cast<uint8_t>(crt::ReadKey())));
  }
  return keys;
}

// One event alone: a key-down without its key-up, a key-up, or another kind of event.
void PushEvent(WORD type, bool down, WORD virtualKey = 0, WORD scan = 0, char character = 0, DWORD state = 0) {
  INPUT_RECORD record{};
  record.EventType = type;
  record.Event.KeyEvent = {down, 1, virtualKey, scan, {}, state};
  record.Event.KeyEvent.uChar.AsciiChar = character;
  mem::PushInput(record);
}

TEST(KeyMapping, FunctionCursorTabEnterAndAltGrKeys) {
  StartTerminal();
  mem::PushKey(VK_F1, 59, 0);
  mem::PushKey(VK_F1, 59, 0, SHIFT_PRESSED);
  mem::PushKey(VK_F1, 59, 0, LEFT_CTRL_PRESSED);
  mem::PushKey(VK_F1, 59, 0, LEFT_ALT_PRESSED);
  mem::PushKey(VK_F11, 87, 0);
  mem::PushKey(VK_F12, 88, 0, SHIFT_PRESSED);
  mem::PushKey(VK_UP, 72, 0, ENHANCED_KEY);  // the grey one
  mem::PushKey(VK_HOME, 71, 0, ENHANCED_KEY | LEFT_CTRL_PRESSED);
  mem::PushKey('X', 45, 'x', LEFT_ALT_PRESSED);
  mem::PushKey('1', 2, '1', LEFT_ALT_PRESSED);
  mem::PushKey(VK_NUMPAD5, 76, 0, LEFT_CTRL_PRESSED);
  EXPECT_EQ(Keys(), "0,59 0,84 0,94 0,104 0,133 0,136 0,72 0,119 0,45 0,120 0,143");
  mem::PushKey(VK_TAB, 15, '\t');
  mem::PushKey(VK_TAB, 15, '\t', SHIFT_PRESSED);
  mem::PushKey(VK_RETURN, 28, '\r', ENHANCED_KEY);                      // keypad Enter
  mem::PushKey(VK_RETURN, 28, '\n', ENHANCED_KEY | LEFT_CTRL_PRESSED);  // with Ctrl: a plain #10
  mem::PushKey(VK_RETURN, 28, '\r', ENHANCED_KEY | LEFT_ALT_PRESSED);
  mem::PushKey('Q', 16, '@', RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED);  // AltGr gives the character
  mem::PushKey(VK_DIVIDE, 53, '/', ENHANCED_KEY);
  EXPECT_EQ(Keys(), "9 0,15 13 10 0,166 64 0,53");
}

TEST(KeyMapping, EventsThatAreNoKeysNeverMakeKeyPressedTrue) {
  StartTerminal();
  // SHIFT_PRESSED, Ctrl, Alt, Caps Lock, Num Lock, Scroll Lock with their scan codes.
  for (auto [key, scan] : {std::pair<WORD, WORD>{16, 42}, {17, 29}, {18, 56}, {20, 58}, {144, 69}, {145, 70}})
    mem::PushKey(key, scan, 0);
  for (WORD type : {MOUSE_EVENT, WINDOW_BUFFER_SIZE_EVENT, FOCUS_EVENT, MENU_EVENT}) PushEvent(type, false);
  PushEvent(KEY_EVENT, false, 'A', 30);  // a key-up
  mem::PushKey(0xFF, 0, 0);              // no character and no scan code: no extended code either
  EXPECT_FALSE(crt::KeyPressed());
  EXPECT_EQ(mem::PendingInputEvents(), 0);  // all taken from the queue
  mem::PushKey('A', 30, 'a');
  mem::PushKey('B', 48, 'b');
  EXPECT_TRUE(crt::KeyPressed());
  EXPECT_TRUE(crt::KeyPressed());  // pending: no further event read
  EXPECT_EQ(mem::PendingInputEvents(), 3);
  EXPECT_EQ(Keys(), "97 98");
  // ReadKey waits for a key past a modifier, and takes it whole.
  PushEvent(KEY_EVENT, true, VK_SHIFT, 42, 0, SHIFT_PRESSED);
  PushEvent(KEY_EVENT, true, 'K', 37, 'K', SHIFT_PRESSED);
  EXPECT_EQ(crt::ReadKey(), 'K');
  EXPECT_FALSE(crt::KeyPressed());
}

TEST(AltNumpad, DigitsMakeOneCharacterModulo256) {
  StartTerminal();
  auto typeCode = [](std::initializer_list<int> scans) {
    for (int scan : scans) mem::PushKey(VK_NUMPAD0, static_cast<WORD>(scan), 0, LEFT_ALT_PRESSED);
    PushEvent(KEY_EVENT, false, VK_MENU, 56);
  };
  typeCode({77, 76});      // 6, 5
  typeCode({81, 82, 82});  // 3, 0, 0
  EXPECT_EQ(Keys(), "65 44");
  typeCode({82});  // 0: nothing
  EXPECT_FALSE(crt::KeyPressed());
  typeCode({79});  // 1: starts again from 0
  EXPECT_EQ(Keys(), "1");
  // Grey cursor keys share the keypad's scan codes, so they count as digits too.
  mem::PushKey(VK_UP, 72, 0, ENHANCED_KEY | LEFT_ALT_PRESSED);
  mem::PushKey(VK_UP, 72, 0, ENHANCED_KEY | LEFT_ALT_PRESSED);
  PushEvent(KEY_EVENT, false, VK_MENU, 56);
  EXPECT_EQ(Keys(), "88");
}

}  // namespace
