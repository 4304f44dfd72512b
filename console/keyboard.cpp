// Keys from the console's input event queue: polling with the key kept pending,
// reading with extended codes, Alt+numpad codes, delays.
#include "console/keyboard.h"

#include "console/redirected_io.h"
#include "platform/win.h"
#include "runtime/control_break.h"
#include "runtime/text_stream.h"

namespace crt {

char ScanCode = 0;
bool SpecialKey = false;
bool DoingNumChars = false;
uint8_t DoingNumCode = 0;
bool CheckEOF = false;
const uint8_t CtrlKeypadKeys[13] = {119, 141, 132, 142, 115, 143, 116, 78, 117, 145, 118, 146, 147};

namespace {

constexpr win::DWORD RightAlt = 0x01, LeftAlt = 0x02, RightCtrl = 0x04, LeftCtrl = 0x08, Shift = 0x10, Enhanced = 0x100;

bool IsModifierOrLock(win::WORD virtualKey) {
  return virtualKey == VK_SHIFT || virtualKey == VK_CONTROL || virtualKey == VK_MENU || virtualKey == VK_CAPITAL ||
         virtualKey == VK_NUMLOCK || virtualKey == VK_SCROLL;
}

// The digit of a keypad scan code, or -1.
int KeypadDigit(uint8_t scan) {
  switch (scan) {
    case 71:
      return 7;
    case 72:
      return 8;
    case 73:
      return 9;
    case 75:
      return 4;
    case 76:
      return 5;
    case 77:
      return 6;
    case 79:
      return 1;
    case 80:
      return 2;
    case 81:
      return 3;
    case 82:
      return 0;
    default:
      return -1;
  }
}

// Takes one key-down event as the pending key; false if it became an Alt+numpad digit.
bool TakeKeyDown(const win::KEY_EVENT_RECORD& key) {
  uint8_t scan = static_cast<uint8_t>(key.wVirtualScanCode);
  uint8_t modifiers = static_cast<uint8_t>(key.dwControlKeyState);
  char character = key.uChar.AsciiChar;
  if (character == 0 || (key.dwControlKeyState & (Enhanced | LeftAlt))) {
    SpecialKey = true;
    ScanCode = static_cast<char>(RemapScanCode(scan, modifiers));
  } else if (character == '\t' && (key.dwControlKeyState & Shift)) {
    SpecialKey = true;
    ScanCode = 15;
  } else {
    SpecialKey = false;
    ScanCode = character;
  }
  // An extended key whose code is 0 would read as "no key" after its #0 and
  // swallow the next key as its code: it is no key at all.
  if (SpecialKey && ScanCode == 0) {
    SpecialKey = false;
    return false;
  }
  int digit = KeypadDigit(scan);
  if ((key.dwControlKeyState & (RightAlt | LeftAlt)) && digit >= 0) {
    DoingNumChars = true;
    DoingNumCode = static_cast<uint8_t>(DoingNumCode * 10 + digit);
    ScanCode = 0;
    SpecialKey = false;
    return false;
  }
  return true;
}

bool PollKey() {
  if (ScanCode != 0) return true;
  if (!KeysCanCome()) return false;
  win::HANDLE input = rtl::Input.Handle;
  win::DWORD pending = 0;
  win::GetNumberOfConsoleInputEvents(input, &pending);
  while (pending > 0) {
    win::INPUT_RECORD record;
    win::DWORD read = 0;
    win::ReadConsoleInputA(input, &record, 1, &read);
    if (read == 1 && record.EventType == KEY_EVENT) {
      const win::KEY_EVENT_RECORD& key = record.Event.KeyEvent;
      if (key.bKeyDown) {
        if (!IsModifierOrLock(key.wVirtualKeyCode) && TakeKeyDown(key)) return true;
      } else if (key.wVirtualKeyCode == VK_MENU && DoingNumChars && DoingNumCode != 0) {
        ScanCode = static_cast<char>(DoingNumCode);
        DoingNumChars = false;
        DoingNumCode = 0;
        return true;
      }
    }
    pending = 0;
    win::GetNumberOfConsoleInputEvents(input, &pending);
  }
  return false;
}

}  // namespace

// Each entry below is a safe point for Ctrl+C (runtime/control_break.h); a
// frame of their own makes it reported at their caller.
__attribute__((noinline)) bool KeyPressed() {
  rtl::SafePoint(__builtin_frame_address(0));
  return PollKey();
}

__attribute__((noinline)) char ReadKey() {
  rtl::SafePoint(__builtin_frame_address(0));
  while (!PollKey()) {
    win::Sleep(1);
    rtl::SafePoint(__builtin_frame_address(0));
  }
  if (SpecialKey) {
    SpecialKey = false;
    return 0;
  }
  char key = ScanCode;
  ScanCode = 0;
  return key;
}

uint8_t RemapScanCode(uint8_t scan, uint8_t modifiers) {
  if (modifiers & (RightAlt | LeftAlt)) {
    if (scan >= 2 && scan <= 13) return scan + 118;
    if (scan == 28) return 166;
    if (scan == 53) return 164;
    if (scan >= 59 && scan <= 68) return scan + 45;
    if (scan >= 71 && scan <= 83 && scan != 74 && scan != 76 && scan != 78) return scan + 80;
    if (scan == 87 || scan == 88) return scan + 52;
    return scan;
  }
  if (modifiers & (RightCtrl | LeftCtrl)) {
    if (scan == 15) return 148;
    if (scan == 28) {
      SpecialKey = false;
      return 10;
    }
    if (scan == 53) return 149;
    if (scan == 55) return 150;
    if (scan >= 59 && scan <= 68) return scan + 35;
    if (scan >= 71 && scan <= 83) return CtrlKeypadKeys[scan - 71];
    if (scan == 87 || scan == 88) return scan + 50;
    return scan;
  }
  if (modifiers & Shift) {
    if (scan == 28) {
      SpecialKey = false;
      return 13;
    }
    if (scan >= 59 && scan <= 68) return scan + 25;
    if (scan == 87 || scan == 88) return scan + 48;
    return scan;
  }
  if (scan == 28) {
    SpecialKey = false;
    return 13;
  }
  if (scan == 87 || scan == 88) return scan + 46;
  return scan;
}

bool KeysCanCome() {
  return !InputRedirected;
}

// Sleeps in short slices so that Ctrl+C is taken within milliseconds.
__attribute__((noinline)) void Delay(uint16_t ms) {
  constexpr uint16_t Slice = 10;
  do {
    uint16_t step = ms < Slice ? ms : Slice;
    win::Sleep(step);
    ms = static_cast<uint16_t>(ms - step);
    rtl::SafePoint(__builtin_frame_address(0));
  } while (ms > 0);
}

}  // namespace crt
