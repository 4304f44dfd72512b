#include "console/redirected_io.h"

#include <cstring>

#include "platform/win.h"
#include "runtime/control_break.h"
#include "runtime/text_stream.h"

namespace crt {

bool OutputRedirected = false, InputRedirected = false;

namespace {

char lookahead[4096];
int32_t lookaheadStart = 0, lookaheadEnd = 0;
bool inputEnded = false;

bool IsConsole(win::HANDLE handle) {
  win::DWORD mode;
  return win::GetConsoleMode(handle, &mode) != 0;
}

win::HANDLE InputHandle() {
  return win::GetStdHandle(STD_INPUT_HANDLE);
}

// Reads whatever the handle gives next into the lookahead; blocks on an idle
// pipe, a wait that Ctrl+C ends (a safe point).
__attribute__((noinline)) void FillLookahead() {
  if (lookaheadStart == lookaheadEnd) lookaheadStart = lookaheadEnd = 0;
  win::DWORD read = 0;
  bool filled = win::ReadFile(InputHandle(), lookahead + lookaheadEnd,
                              static_cast<win::DWORD>(sizeof lookahead - lookaheadEnd), &read, nullptr);
  rtl::SafePoint(__builtin_frame_address(0));
  if (!filled || read == 0) {
    inputEnded = true;
    return;
  }
  lookaheadEnd += static_cast<int32_t>(read);
}

bool LookaheadEmpty() {
  return lookaheadStart == lookaheadEnd;
}

}  // namespace

void DetectRedirection() {
  OutputRedirected = !IsConsole(win::GetStdHandle(STD_OUTPUT_HANDLE));
  InputRedirected = !IsConsole(InputHandle());
}

// A failed write (a closed pipe, a full disk) is the program's I/O error.
void WriteRedirected(const char* bytes, int32_t count) {
  if (count <= 0 || rtl::InOutRes != 0) return;
  win::DWORD written = 0;
  if (!win::WriteFile(win::GetStdHandle(STD_OUTPUT_HANDLE), bytes, static_cast<win::DWORD>(count), &written, nullptr))
    rtl::InOutRes = rtl::Errno2InOutRes(win::GetLastError());
  else if (static_cast<int32_t>(written) < count)
    rtl::InOutRes = 101;
}

int32_t ReadRedirectedLine(char* line, int32_t size) {
  int32_t length = 0;
  while (length < size) {
    if (LookaheadEmpty()) {
      if (inputEnded) break;
      FillLookahead();
      continue;
    }
    char c = lookahead[lookaheadStart++];
    line[length++] = c;
    if (c == '\n') break;
  }
  return length;
}

bool RedirectedInputEnded() {
  if (!LookaheadEmpty()) return false;
  if (inputEnded) return true;
  if (win::GetFileType(InputHandle()) == FILE_TYPE_PIPE) {
    win::DWORD waiting = 0;
    if (!win::PeekNamedPipe(InputHandle(), nullptr, 0, nullptr, &waiting, nullptr)) {
      inputEnded = true;
      return true;
    }
    if (waiting == 0) return false;
  }
  FillLookahead();
  return inputEnded;
}

char ReadRedirectedByte() {
  while (LookaheadEmpty() && !inputEnded) FillLookahead();
  if (LookaheadEmpty()) return 26;
  return lookahead[lookaheadStart++];
}

}  // namespace crt
