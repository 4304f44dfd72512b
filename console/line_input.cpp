// Line input with echo and the editing keys, in replace mode.
#include "console/line_input.h"

#include "console/keyboard.h"
#include "console/redirected_io.h"
#include "console/screen_output.h"

namespace crt {

namespace {

void EchoForward(rtl::TextRec& f) {
  WriteChar(f.BufPtr[f.BufPos]);
  ++f.BufPos;
}

void StepBack(rtl::TextRec& f) {
  --f.BufPos;
  WriteChar('\b');
}

// One extended key; true if it is to be taken as the character "/".
bool EditWithExtendedKey(rtl::TextRec& f, char code) {
  switch (code) {
    case 71:
      while (f.BufPos > 0) StepBack(f);
      return false;
    case 75:
      if (f.BufPos > 0) StepBack(f);
      return false;
    case 77:
      if (f.BufPos < f.BufEnd) EchoForward(f);
      return false;
    case 79:
      while (f.BufPos < f.BufEnd) EchoForward(f);
      return false;
    case 53:
      return true;
    default:
      return false;
  }
}

void StoreCharacter(rtl::TextRec& f, char c) {
  if (f.BufPos >= f.BufSize - 2) return;
  f.BufPtr[f.BufPos] = c;
  ++f.BufPos;
  WriteChar(c);
}

}  // namespace

void BackSpace(rtl::TextRec& f) {
  if (f.BufPos > 0 && f.BufPos == f.BufEnd) {
    WriteChar('\b');
    WriteChar(' ');
    WriteChar('\b');
    --f.BufPos;
    --f.BufEnd;
  }
}

int16_t CrtRead(rtl::TextRec& f) {
  if (InputRedirected) {
    f.BufEnd = ReadRedirectedLine(f.BufPtr, f.BufSize);
    f.BufPos = 0;
    return 0;
  }
  uint16_t savedCodePage = static_cast<uint16_t>(win::GetConsoleOutputCP());
  win::SetConsoleOutputCP(win::GetACP());
  GetScreenCursor(CurrX, CurrY);
  f.BufPos = 0;
  f.BufEnd = 0;
  for (bool complete = false; !complete;) {
    if (f.BufPos > f.BufEnd) f.BufEnd = f.BufPos;
    SetScreenCursor(CurrX, CurrY);
    char key = ReadKey();
    if (key == 0) {
      if (EditWithExtendedKey(f, ReadKey())) StoreCharacter(f, '/');
      continue;
    }
    switch (key) {
      case 8:
      case 19:
        BackSpace(f);
        break;
      case 13:
        WriteChar('\r');
        WriteChar('\n');
        f.BufPtr[f.BufEnd] = '\r';
        f.BufPtr[f.BufEnd + 1] = '\n';
        f.BufEnd += 2;
        complete = true;
        break;
      case 25:
      case 27:
        while (f.BufPos < f.BufEnd) EchoForward(f);
        while (f.BufEnd > 0) BackSpace(f);
        break;
      case 26:
        if (CheckEOF) {
          f.BufPtr[f.BufEnd] = 26;
          ++f.BufEnd;
          complete = true;
        }
        break;
      default:
        StoreCharacter(f, key);
    }
  }
  win::SetConsoleOutputCP(savedCodePage);
  f.BufPos = 0;
  SetScreenCursor(CurrX, CurrY);
  return 0;
}

}  // namespace crt
