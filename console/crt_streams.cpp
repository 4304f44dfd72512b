// The terminal's start-up and the binding of text streams to it.
#include "console/crt_streams.h"

#include <cstring>

#include "console/keyboard.h"
#include "console/line_input.h"
#include "console/redirected_io.h"
#include "console/screen_output.h"
#include "runtime/system.h"

namespace crt {

void CrtInit() {
  DetectRedirection();
  LastMode = 3;
  win::SetActiveWindow(nullptr);
  std::memset(&CursorInfo, 0, sizeof CursorInfo);
  win::GetConsoleCursorInfo(ScreenHandle(), &CursorInfo);
  SaveCursorSize = CursorInfo.dwSize;
  std::memset(&ConsoleInfo, 0, sizeof ConsoleInfo);
  win::GetConsoleScreenBufferInfo(ScreenHandle(), &ConsoleInfo);
  TextAttr = static_cast<uint8_t>(ConsoleInfo.wAttributes);
  WindMinX = static_cast<uint32_t>(int32_t{ConsoleInfo.srWindow.Left} + 1);
  WindMinY = static_cast<uint32_t>(int32_t{ConsoleInfo.srWindow.Top} + 1);
  WindMaxX = static_cast<uint32_t>(int32_t{ConsoleInfo.srWindow.Right} + 1);
  WindMaxY = static_cast<uint32_t>(int32_t{ConsoleInfo.srWindow.Bottom} + 1);
  WindMax = static_cast<uint16_t>((WindMaxY - 1) * 256 + (WindMaxX - 1));
  DoingNumChars = false;
  DoingNumCode = 0;
  AssignCrt(rtl::Output);
  rtl::Rewrite(rtl::Output);
  rtl::IOCheck();
  rtl::Output.Handle = win::GetStdHandle(STD_OUTPUT_HANDLE);
  AssignCrt(rtl::Input);
  rtl::Reset(rtl::Input);
  rtl::IOCheck();
  rtl::Input.Handle = win::GetStdHandle(STD_INPUT_HANDLE);
}

void AssignCrt(rtl::TextRec& f) {
  rtl::Assign(f, "");
  f.OpenFunc = CrtOpen;
}

int16_t CrtOpen(rtl::TextRec& f) {
  if (f.Mode == rtl::ModeOutput) {
    f.InOutFunc = CrtWrite;
    f.FlushFunc = CrtWrite;
  } else {
    f.Mode = rtl::ModeInput;
    f.InOutFunc = CrtRead;
    f.FlushFunc = CrtReturn;
  }
  f.CloseFunc = CrtClose;
  return 0;
}

int16_t CrtReturn(rtl::TextRec&) {
  return 0;
}

int16_t CrtClose(rtl::TextRec& f) {
  f.Mode = rtl::ModeClosed;
  return 0;
}

}  // namespace crt
