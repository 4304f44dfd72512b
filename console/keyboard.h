// The console terminal's input side: key polling and reading, delays.
#pragma once

#include <cstdint>

namespace crt {

extern char ScanCode;
extern bool SpecialKey;
extern bool DoingNumChars;
extern uint8_t DoingNumCode;
extern bool CheckEOF;
extern const uint8_t CtrlKeypadKeys[13];  // scan codes 71 to 83

bool KeyPressed();
// False when the input is not a console (a file or a pipe): no key will ever
// be pressed, and KeyPressed is always false.
bool KeysCanCome();
char ReadKey();
uint8_t RemapScanCode(uint8_t scanCode, uint8_t modifiers);
void Delay(uint16_t ms);

}  // namespace crt
