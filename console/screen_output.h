// The console terminal's output side: its state, the binding of text streams to
// the terminal, and the cell-by-cell output path.
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

// Module initialisation of the console terminal.
void CrtInit();

void AssignCrt(rtl::TextRec& f);
int16_t CrtOpen(rtl::TextRec& f);
int16_t CrtWrite(rtl::TextRec& f);
int16_t CrtReturn(rtl::TextRec& f);
int16_t CrtClose(rtl::TextRec& f);

void WriteChar(char c);
void WriteStr(const rtl::ShortString& s);
void RemoveLine(uint32_t y);
void GetScreenCursor(uint32_t& x, uint32_t& y);
void SetScreenCursor(uint32_t x, uint32_t y);

}  // namespace crt
