// Text stream records: the standard streams, opening and closing, flushing,
// and the stream functions over OS handles.
#include "runtime/text_stream.h"

#include <cstring>

#include "runtime/control_break.h"
#include "runtime/system.h"

namespace rtl {

uint16_t InOutRes = 0;
bool CtrlZMarksEOF = true;
TextLineBreakStyle DefaultTextLineBreakStyle = LineBreakCRLF;
win::HANDLE UnusedHandle = INVALID_HANDLE_VALUE;
win::HANDLE StdInputHandle, StdOutputHandle, StdErrorHandle;
TextRec Input, Output, ErrOutput, StdOut, StdErr;

TextRec& GetInput() {
  return Input;
}
TextRec& GetOutput() {
  return Output;
}

namespace {

bool IsStandardHandle(win::HANDLE h) {
  return h == StdInputHandle || h == StdOutputHandle || h == StdErrorHandle;
}

void DoClose(win::HANDLE h) {
  if (win::GetFileType(h) != FILE_TYPE_CHAR) win::CloseHandle(h);
}

bool IsUnicodeCodePage(win::UINT page) {
  return page == 1200 || page == 1201 || page == 12000 || page == 12001 || page == 65000 || page == 65001;
}

int32_t DoWrite(win::HANDLE h, const char* bytes, int32_t count) {
  win::DWORD written = 0;
  if (!win::WriteFile(h, bytes, static_cast<win::DWORD>(count), &written, nullptr)) {
    InOutRes = Errno2InOutRes(win::GetLastError());
    return static_cast<int32_t>(written);
  }
  if (static_cast<int32_t>(written) < count && win::GetFileType(h) == FILE_TYPE_CHAR &&
      IsUnicodeCodePage(win::GetConsoleOutputCP()))
    return count;
  return static_cast<int32_t>(written);
}

// A blocking read is a safe point for Ctrl+C.
__attribute__((noinline)) int32_t DoRead(win::HANDLE h, char* bytes, int32_t count) {
  win::DWORD read = 0;
  bool done = win::ReadFile(h, bytes, static_cast<win::DWORD>(count), &read, nullptr);
  SafePoint(__builtin_frame_address(0));
  if (!done) {
    win::DWORD error = win::GetLastError();
    if (error != ERROR_BROKEN_PIPE) InOutRes = Errno2InOutRes(error);
    return 0;
  }
  return static_cast<int32_t>(read);
}

void OpenWithMode(TextRec& t, int32_t mode) {
  if (InOutRes != 0) return;
  switch (t.Mode) {
    case ModeInput:
    case ModeOutput:
    case ModeInOut:
      Close(t);
      break;
    case ModeClosed:
      break;
    default:
      InOutRes = 102;
      return;
  }
  t.Mode = mode;
  t.BufPos = 0;
  t.BufEnd = 0;
  t.OpenFunc(t);
  if (InOutRes != 0) t.Mode = ModeClosed;
}

}  // namespace

uint16_t Errno2InOutRes(uint32_t osError) {
  uint16_t result;
  if (osError >= 19 && osError <= 31)
    result = static_cast<uint16_t>(osError + 131);
  else if (osError == 32 || osError == 145 || osError == 183)
    result = 5;
  else
    result = static_cast<uint16_t>(osError);
  win::SetLastError(0);
  return result;
}

int16_t FileWriteFunc(TextRec& t) {
  if (t.BufPos > 0 && DoWrite(t.Handle, t.BufPtr, t.BufPos) < t.BufPos && InOutRes == 0) InOutRes = 101;
  t.BufPos = 0;
  return 0;
}

int16_t FileReadFunc(TextRec& t) {
  t.BufEnd = DoRead(t.Handle, t.BufPtr, t.BufSize);
  t.BufPos = 0;
  return 0;
}

int16_t FileCloseFunc(TextRec& t) {
  DoClose(t.Handle);
  t.Handle = UnusedHandle;
  return 0;
}

// Named files are never opened by this program; a stream with a name but no
// driver cannot be opened.
int16_t FileOpenFunc(TextRec&) {
  InOutRes = 2;
  return 0;
}

void Assign(TextRec& t, std::string_view name) {
  std::memset(&t, 0, sizeof t);
  t.Handle = UnusedHandle;
  t.Mode = ModeClosed;
  t.BufSize = TextBufferSize;
  t.BufPtr = t.Buffer;
  t.OpenFunc = FileOpenFunc;
  switch (DefaultTextLineBreakStyle) {
    case LineBreakLF:
      t.LineEnd = {1, {'\n'}};
      break;
    case LineBreakCR:
      t.LineEnd = {1, {'\r'}};
      break;
    default:
      t.LineEnd = {2, {'\r', '\n'}};
  }
  size_t n = name.size() < sizeof t.Name - 1 ? name.size() : sizeof t.Name - 1;
  std::memcpy(t.Name, name.data(), n);
}

void OpenStdIO(TextRec& t, int32_t mode, win::HANDLE handle) {
  Assign(t, "");
  t.Handle = handle;
  t.Mode = mode;
  t.CloseFunc = FileCloseFunc;
  if (mode == ModeInput) {
    t.InOutFunc = FileReadFunc;
  } else if (mode == ModeOutput) {
    t.InOutFunc = FileWriteFunc;
    if (win::GetFileType(handle) == FILE_TYPE_CHAR) t.FlushFunc = FileWriteFunc;
  } else {
    RunError(102);
  }
}

void SysInitStdIO() {
  StdInputHandle = win::GetStdHandle(STD_INPUT_HANDLE);
  StdOutputHandle = win::GetStdHandle(STD_OUTPUT_HANDLE);
  StdErrorHandle = win::GetStdHandle(STD_ERROR_HANDLE);
  OpenStdIO(Input, ModeInput, StdInputHandle);
  OpenStdIO(Output, ModeOutput, StdOutputHandle);
  OpenStdIO(ErrOutput, ModeOutput, StdErrorHandle);
  OpenStdIO(StdOut, ModeOutput, StdOutputHandle);
  OpenStdIO(StdErr, ModeOutput, StdErrorHandle);
}

void Rewrite(TextRec& t) {
  OpenWithMode(t, ModeOutput);
}
void Reset(TextRec& t) {
  OpenWithMode(t, ModeInput);
}

void Close(TextRec& t) {
  if (InOutRes != 0) return;
  switch (t.Mode) {
    case ModeOutput:
      t.InOutFunc(t);
      [[fallthrough]];
    case ModeInput:
    case ModeAppend:
      if (!IsStandardHandle(t.Handle) && t.CloseFunc) t.CloseFunc(t);
      t.Mode = ModeClosed;
      t.BufPos = 0;
      t.BufEnd = 0;
      break;
    default:
      InOutRes = 103;
  }
}

void Flush(TextRec& t) {
  if (InOutRes != 0) return;
  if (t.Mode == ModeOutput)
    t.InOutFunc(t);
  else
    InOutRes = t.Mode == ModeInput ? 105 : 103;
}

}  // namespace rtl
