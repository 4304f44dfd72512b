// Buffered text streams: the record, the standard streams, opening and closing,
// and the write and read operations that every statement of the program uses.
#pragma once

#include <cstdint>

#include "platform/win.h"
#include "runtime/short_string.h"

namespace rtl {

struct TextRec;
// A stream function slot. Results are ignored; failures set InOutRes.
using TextFunc = int16_t (*)(TextRec& t);

constexpr int32_t ModeClosed = 0xD7B0;
constexpr int32_t ModeInput = 0xD7B1;
constexpr int32_t ModeOutput = 0xD7B2;
constexpr int32_t ModeInOut = 0xD7B3;
constexpr int32_t ModeAppend = 0xD7B4;

constexpr int32_t TextBufferSize = 256;

struct TextRec {
  win::HANDLE Handle;
  int32_t Mode;
  int32_t BufSize;
  uint32_t Reserved;
  int32_t BufPos;
  int32_t BufEnd;
  char* BufPtr;
  TextFunc OpenFunc;
  TextFunc InOutFunc;
  TextFunc FlushFunc;
  TextFunc CloseFunc;
  uint8_t UserData[32];
  char Name[256];
  struct {
    uint8_t length;
    char chars[3];
  } LineEnd;
  char Buffer[TextBufferSize];
};

enum TextLineBreakStyle : uint8_t { LineBreakLF = 0, LineBreakCRLF = 1, LineBreakCR = 2 };

extern uint16_t InOutRes;
extern bool CtrlZMarksEOF;
extern TextLineBreakStyle DefaultTextLineBreakStyle;
extern win::HANDLE UnusedHandle;
extern win::HANDLE StdInputHandle, StdOutputHandle, StdErrorHandle;
extern TextRec Input, Output, ErrOutput, StdOut, StdErr;

TextRec& GetInput();
TextRec& GetOutput();

void Assign(TextRec& t, std::string_view name);
void OpenStdIO(TextRec& t, int32_t mode, win::HANDLE handle);
void SysInitStdIO();
void Rewrite(TextRec& t);
void Reset(TextRec& t);
void Close(TextRec& t);
void Flush(TextRec& t);

void WriteShortStr(int32_t width, TextRec& t, const ShortString& s);
void WriteSInt(int32_t width, TextRec& t, int32_t value);
void WriteUInt(int32_t width, TextRec& t, uint32_t value);
void WriteEnd(TextRec& t);
void WriteLnEnd(TextRec& t);

void ReadSInt(TextRec& t, int32_t& value);
void ReadEnd(TextRec& t);
void ReadLnEnd(TextRec& t);

// Handle-based stream functions of the standard streams.
int16_t FileOpenFunc(TextRec& t);
int16_t FileReadFunc(TextRec& t);
int16_t FileWriteFunc(TextRec& t);
int16_t FileCloseFunc(TextRec& t);

// The I/O result of an OS error number; also clears the OS error.
uint16_t Errno2InOutRes(uint32_t osError);

}  // namespace rtl
