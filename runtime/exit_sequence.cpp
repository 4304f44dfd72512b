// The exit sequence: exit procedures, module finalisation, the run-time error
// report with its backtrace, the final flush and the end of the process.
#include <cstdint>

#include "runtime/fault_filter.h"
#include "runtime/int_text.h"
#include "runtime/system.h"

namespace rtl {

namespace {

void FinalizeUnits() {
  for (int32_t i = InitFinal.Initialized - 1; i >= 0; --i)
    if (InitFinal.Entries[i].Final) InitFinal.Entries[i].Final();
}

// Code addresses are reported relative to the module's load base, which is
// what the executable's symbol and line tables use.
uint32_t ReportedAddress(void* address) {
  uintptr_t base = reinterpret_cast<uintptr_t>(MainInstance);
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address) - base);
}

// True when the whole report reached t.
bool WriteErrorReportTo(TextRec& t) {
  InOutRes = 0;
  WriteShortStr(0, t, "Runtime error ");
  WriteUInt(0, t, ErrorCode);
  WriteShortStr(0, t, " at $");
  WriteShortStr(0, t, HexStr(ReportedAddress(ErrorAddr)));
  WriteLnEnd(t);
  WriteShortStr(0, t, BackTraceStrFunc(ErrorAddr));
  WriteLnEnd(t);
  DumpStack(t, ErrorBase);
  WriteLnEnd(t);
  Flush(t);
  bool reached = InOutRes == 0;
  InOutRes = 0;
  return reached;
}

// The report goes to the standard output; when that is closed or its
// reader gone, to the standard error stream.
void WriteErrorReport() {
  if (!WriteErrorReportTo(StdOut)) WriteErrorReportTo(StdErr);
}

void FlushIfOutput(TextRec& t) {
  if (t.Mode == ModeOutput) Flush(t);
}

}  // namespace

ShortString SysBackTraceStr(void* address) {
  ShortString line = "  $";
  ShortString digits = HexStr(ReportedAddress(address));
  for (uint8_t i = 0; i < digits.length; ++i) line.chars[line.length++] = digits.chars[i];
  return line;
}

// Walks the saved frame pointers. Memory is read through the kernel so that a
// broken chain ends the walk instead of faulting.
void DumpStack(TextRec& t, void* frame) {
  struct Frame {
    uintptr_t caller;
    uintptr_t returnAddress;
  };
  bool toCharacterDevice = win::GetFileType(t.Handle) == FILE_TYPE_CHAR;
  uintptr_t current = reinterpret_cast<uintptr_t>(frame);
  uintptr_t previous = current - 1;
  int i = 0;
  while (current > previous) {
    Frame saved;
    win::SIZE_T read = 0;
    if (!win::ReadProcessMemory(win::GetCurrentProcess(), reinterpret_cast<void*>(current), &saved, sizeof saved,
                                &read))
      break;
    if (saved.returnAddress == 0) break;
    WriteShortStr(0, t, BackTraceStrFunc(reinterpret_cast<void*>(saved.returnAddress)));
    WriteLnEnd(t);
    if (saved.caller == 0) break;
    ++i;
    if ((i > MaxFrameDump && toCharacterDevice) || i > 256) break;
    previous = current;
    current = saved.caller;
  }
}

void InternalExit() {
  while (ExitProc) {
    InOutRes = 0;
    Procedure p = ExitProc;
    ExitProc = nullptr;
    p();
  }
  FinalizeUnits();
  if (ErrorAddr) WriteErrorReport();
  FlushIfOutput(Output);
  FlushIfOutput(ErrOutput);
  FlushIfOutput(StdOut);
  FlushIfOutput(StdErr);
}

void SystemExit() {
  if (!IsConsole) {
    Close(StdErr);
    Close(StdOut);
    Close(ErrOutput);
    Close(Input);
    Close(Output);
  }
  RemoveFaultFilter();
  win::ExitProcess(static_cast<win::UINT>(ExitCode));
}

void DoExit() {
  InternalExit();
  SystemExit();
}

}  // namespace rtl
