// The console terminal's output side: its state and the cell-by-cell output path.
#pragma once

#include <cstdint>

#include "platform/win.h"
#include "runtime/short_string.h"
#include "runtime/text_stream.h"

namespace crt {

extern uint8_t TextAttr;
extern uint32_t WindMinX, WindMinY, WindMaxX, WindMaxY;
extern uint16_t WindMax;
extern uint32_t CurrX, CurrY;
extern uint16_t LastMode;
extern win::CONSOLE_SCREEN_BUFFER_INFO ConsoleInfo;
extern win::CONSOLE_CURSOR_INFO CursorInfo;
extern uint32_t SaveCursorSize;

int16_t CrtWrite(rtl::TextRec& f);

void WriteChar(char c);
void WriteStr(const rtl::ShortString& s);
void RemoveLine(uint32_t y);
void GetScreenCursor(uint32_t& x, uint32_t& y);
void SetScreenCursor(uint32_t x, uint32_t y);

}  // namespace crt
