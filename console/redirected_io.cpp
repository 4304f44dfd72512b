#include "console/redirected_io.h"

#include "runtime/control_break.h"
#include "runtime/text_stream.h"

namespace crt {

bool OutputRedirected = false, InputRedirected = false;

namespace {

win::HANDLE consoleScreen = nullptr;  // set when only the input is a console

char pending[4096];
int32_t pendingStart = 0, pendingEnd = 0;
bool inputEnded = false;
bool skipLineFeed = false;  // the line before ended at a CR: an LF right after it belongs to it

bool IsConsole(win::HANDLE handle) {
  win::DWORD mode;
  return win::GetConsoleMode(handle, &mode) != 0;
}

// Waits for the next bytes; a closed pipe or the end of a file ends the input.
// The wait on an idle pipe is a safe point: Ctrl+C ends it.
__attribute__((noinline)) void ReadMore() {
  pendingStart = pendingEnd = 0;
  win::DWORD read = 0;
  bool filled = win::ReadFile(win::GetStdHandle(STD_INPUT_HANDLE), pending, static_cast<win::DWORD>(sizeof pending),
                              &read, nullptr);
  rtl::SafePoint(__builtin_frame_address(0));
  if (!filled || read == 0) {
    inputEnded = true;
    return;
  }
  pendingEnd = static_cast<int32_t>(read);
}

// The next byte, waiting for it; -1 at the end of input.
int NextByte() {
  while (pendingStart == pendingEnd) {
    if (inputEnded) return -1;
    ReadMore();
  }
  return static_cast<unsigned char>(pending[pendingStart++]);
}

}  // namespace

void DetectRedirection() {
  OutputRedirected = !IsConsole(win::GetStdHandle(STD_OUTPUT_HANDLE));
  InputRedirected = !IsConsole(win::GetStdHandle(STD_INPUT_HANDLE));
  if (OutputRedirected && !InputRedirected)
    consoleScreen = win::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
}

win::HANDLE ScreenHandle() {
  if (consoleScreen && consoleScreen != INVALID_HANDLE_VALUE) return consoleScreen;
  return win::GetStdHandle(STD_OUTPUT_HANDLE);
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
  while (length < size - 2) {
    int c = NextByte();
    if (c == '\n' && skipLineFeed) {
      skipLineFeed = false;
      continue;
    }
    skipLineFeed = false;
    if (c < 0) return length;
    if (c == '\n' || c == '\r') {
      // Not waiting to see whether an LF follows a CR: the line is complete now.
      skipLineFeed = c == '\r';
      line[length] = '\r';
      line[length + 1] = '\n';
      return length + 2;
    }
    line[length++] = static_cast<char>(c);
  }
  return length;
}

}  // namespace crt
