// The terminal's output path: characters placed cell by cell inside the text
// window, four control characters interpreted, wrapping and scrolling.
#include "console/screen_output.h"

#include "console/redirected_io.h"

namespace crt {

uint8_t TextAttr = 7;
uint32_t WindMinX, WindMinY, WindMaxX, WindMaxY;
uint16_t WindMax = 0x184F;
uint32_t CurrX = 0, CurrY = 0;
uint16_t LastMode = 3;
win::CONSOLE_SCREEN_BUFFER_INFO ConsoleInfo;
win::CONSOLE_CURSOR_INFO CursorInfo;
uint32_t SaveCursorSize = 0;

namespace {

// Console coordinates are 0-based and 16 bits wide.
win::COORD CellOf(uint32_t x, uint32_t y) {
  return {static_cast<win::SHORT>(static_cast<uint16_t>(x - 1)), static_cast<win::SHORT>(static_cast<uint16_t>(y - 1))};
}

void PutCell(char c) {
  win::COORD at = CellOf(CurrX, CurrY);
  win::DWORD written;
  win::WriteConsoleOutputCharacterA(ScreenHandle(), &c, 1, at, &written);
  win::WORD attribute = TextAttr;
  win::WriteConsoleOutputAttribute(ScreenHandle(), &attribute, 1, at, &written);
  ++CurrX;
}

void WrapAndScroll() {
  if (CurrX > WindMaxX) {
    CurrX = WindMinX;
    ++CurrY;
  }
  while (CurrY > WindMaxY) {
    RemoveLine(1);
    --CurrY;
  }
}

}  // namespace

void WriteChar(char c) {
  switch (c) {
    case '\a':
      break;
    case '\b':
      if (CurrX > WindMinX) --CurrX;
      break;
    case '\n':
      ++CurrY;
      break;
    case '\r':
      CurrX = WindMinX;
      break;
    default:
      PutCell(c);
  }
  WrapAndScroll();
}

void WriteStr(const rtl::ShortString& s) {
  for (uint8_t i = 0; i < s.length; ++i) {
    PutCell(s.chars[i]);
    WrapAndScroll();
  }
}

void RemoveLine(uint32_t y) {
  auto at = [](uint32_t value) { return static_cast<win::SHORT>(static_cast<uint16_t>(value)); };
  win::SMALL_RECT scroll{at(WindMinX - 1), at(WindMinY - 1 + y), at(WindMaxX - 1), at(WindMaxY - 1)};
  win::SMALL_RECT clip{at(WindMinX - 1), at(WindMinY - 2 + y), at(WindMaxX - 1), at(WindMaxY - 1)};
  win::COORD destination{at(WindMinX - 1), at(WindMinY - 2 + y)};
  win::CHAR_INFO fill{};
  fill.Char.AsciiChar = ' ';
  fill.Attributes = TextAttr;
  win::ScrollConsoleScreenBufferA(ScreenHandle(), &scroll, &clip, destination, &fill);
}

// A console window that changed size since it was last read gives the text
// window its new bounds, so that output follows a resized terminal.
void FollowWindow(const win::SMALL_RECT& window) {
  const win::SMALL_RECT& known = ConsoleInfo.srWindow;
  if (window.Left == known.Left && window.Top == known.Top && window.Right == known.Right &&
      window.Bottom == known.Bottom)
    return;
  ConsoleInfo.srWindow = window;
  WindMinX = static_cast<uint32_t>(int32_t{window.Left} + 1);
  WindMinY = static_cast<uint32_t>(int32_t{window.Top} + 1);
  WindMaxX = static_cast<uint32_t>(int32_t{window.Right} + 1);
  WindMaxY = static_cast<uint32_t>(int32_t{window.Bottom} + 1);
  WindMax = static_cast<uint16_t>((WindMaxY - 1) * 256 + (WindMaxX - 1));
}

void GetScreenCursor(uint32_t& x, uint32_t& y) {
  win::CONSOLE_SCREEN_BUFFER_INFO info{};
  // Redirected output reports nothing: the bounds stay as they are.
  if (win::GetConsoleScreenBufferInfo(ScreenHandle(), &info)) FollowWindow(info.srWindow);
  x = static_cast<uint32_t>(info.dwCursorPosition.X + 1);
  y = static_cast<uint32_t>(info.dwCursorPosition.Y + 1);
}

void SetScreenCursor(uint32_t x, uint32_t y) {
  win::SetConsoleCursorPosition(ScreenHandle(), CellOf(x, y));
}

int16_t CrtWrite(rtl::TextRec& f) {
  if (OutputRedirected) {
    WriteRedirected(f.BufPtr, f.BufPos);
    f.BufPos = 0;
    return 0;
  }
  uint16_t savedCodePage = static_cast<uint16_t>(win::GetConsoleOutputCP());
  win::SetConsoleOutputCP(win::GetACP());
  GetScreenCursor(CurrX, CurrY);
  rtl::ShortString run;
  auto writeRun = [&run] {
    if (run.length > 0) WriteStr(run);
    run.length = 0;
  };
  for (int32_t i = 0; i < f.BufPos; ++i) {
    char c = f.BufPtr[i];
    if (c == '\a' || c == '\b' || c == '\n' || c == '\r') {
      writeRun();
      WriteChar(c);
    } else {
      if (run.length == 255) writeRun();
      run.chars[run.length++] = c;
    }
  }
  writeRun();
  SetScreenCursor(CurrX, CurrY);
  win::SetConsoleOutputCP(savedCodePage);
  f.BufPos = 0;
  return 0;
}

}  // namespace crt
