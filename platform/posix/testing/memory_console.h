// Test-only host of the console stand-in: a screen buffer held in memory, whose
// input queue a test fills and whose cells, cursor and call counts it reads.
// Select it before the program's start-up; the standard handles then refer to
// it and report a character device.
#pragma once

#include <functional>
#include <string>

#include "platform/posix/win_types.h"

namespace win::stand_in {

struct MemoryConsoleSetup {
  SHORT width = 80;
  SHORT height = 25;  // screen buffer size; the window covers all of it unless set
  SMALL_RECT window{0, 0, 79, 24};
  WORD attributes = 0x07;
  COORD cursor{0, 0};
};
void UseMemoryConsole(const MemoryConsoleSetup& setup = {});

void PushInput(const INPUT_RECORD& record);
// A key-down event followed by its key-up event.
void PushKey(WORD virtualKey, WORD scanCode, char character, DWORD controlKeyState = 0);
// A key-down and key-up per character, with the US-layout virtual keys and scan codes.
void PushText(const std::string& text);
// Keys typed later: each call is one batch that arrives when the program next
// waits for a key with none left in the queue. A wait with no batch left ends
// the program with exit code 98 and "memory console: input exhausted".
void TypeWhenWaiting(const std::string& text);
// The general form: the action runs (on the program's thread) when the program
// next waits for a key with none left; it may read the screen and push keys.
void WhenWaiting(std::function<void()> action);
int PendingInputEvents();

struct ConsoleCell {
  char character;
  WORD attributes;
};
ConsoleCell CellAt(SHORT x, SHORT y);  // 0-based screen-buffer coordinates
std::string RowText(SHORT y);          // the row's characters, trailing blanks removed
COORD CursorAt();
UINT OutputCodePage();

struct ConsoleCallCounts {
  int writeCharacter = 0;
  int writeAttribute = 0;
  int scroll = 0;
  int setCursor = 0;
  int screenBufferInfo = 0;
  int readInput = 0;
  int inputEventCount = 0;
};
ConsoleCallCounts CallCounts();
void ResetCallCounts();

}  // namespace win::stand_in
