// The run-time's variables, the process entry, its own start-up and the
// module table's initialisation.
#include "runtime/system.h"

#include "runtime/control_break.h"
#include "runtime/fault_filter.h"
#include "runtime/text_stream.h"

namespace rtl {

ModuleTable InitFinal;
Procedure ExitProc = nullptr;
uint16_t ErrorCode = 0;
void* ErrorAddr = nullptr;
void* ErrorBase = nullptr;
int32_t ExitCode = 0;
ErrorProcHook ErrorProc = nullptr;
BackTraceStrFunction BackTraceStrFunc = SysBackTraceStr;
uint16_t MaxFrameDump = 8;
uint16_t Default8087CW = 0x1332;
uint32_t MXCSR = 0x1900;
bool IsConsole = true;
bool IsLibrary = false;
Procedure InitProc = nullptr;
win::HINSTANCE MainInstance = nullptr;

namespace {

Procedure MainRoutine = nullptr;
win::WORD WindowShowState = 0;
win::DWORD ProcessId = 0;
win::HMODULE Kernel32Library = nullptr;
Procedure DosExitSave = nullptr;

[[noreturn]] void ExeEntry() {
  IsLibrary = false;
  InstallFaultFilter();
  InstallBreakHandler();
  MainRoutine();
  SystemExit();
}

void DosExitProc() {
  ExitProc = DosExitSave;
  if (Kernel32Library) win::FreeLibrary(Kernel32Library);
  Kernel32Library = nullptr;
}

}  // namespace

void ProcessEntry(const ModuleTable& modules, Procedure mainRoutine) {
  IsConsole = true;
  InitFinal = modules;
  InitFinal.Initialized = 0;
  MainRoutine = mainRoutine;
  ExeEntry();
}

void SystemInit() {
  win::STARTUPINFOA startup;
  win::GetStartupInfoA(&startup);
  WindowShowState = startup.wShowWindow;
  SysResetFPU();
  MainInstance = win::GetModuleHandleA(nullptr);
  RecordStackSegment();
  ProbeSSE();
  SysResetFPU();
  if (SSESupported) LoadMXCSR();
  SysInitStdIO();
  InOutRes = 0;
  ProcessId = win::GetCurrentProcessId();
  win::SetLastError(0);
}

void InternalResourcesInit() {}

void DosServicesInit() {
  DosExitSave = ExitProc;
  ExitProc = DosExitProc;
  Kernel32Library = win::LoadLibraryA("kernel32");
  if (Kernel32Library) win::GetProcAddress(Kernel32Library, "GetDiskFreeSpaceExA");
}

// Resource string tables would be released here; this program has none.
void ObjectsFinal() {}

void InitializeUnits() {
  for (int32_t i = 0; i < InitFinal.Count; ++i) {
    if (InitFinal.Entries[i].Init) InitFinal.Entries[i].Init();
    InitFinal.Initialized = i + 1;
  }
  if (InitProc) InitProc();
}

}  // namespace rtl
