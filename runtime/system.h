// Program start-up, the module table, run-time errors and the exit sequence.
#pragma once

#include <cstdint>

#include "runtime/short_string.h"
#include "runtime/text_stream.h"

namespace rtl {

using Procedure = void (*)();

struct ModuleEntry {
  Procedure Init;   // or null
  Procedure Final;  // or null
};
constexpr int MaxModules = 16;
struct ModuleTable {
  int32_t Count;
  int32_t Initialized;
  ModuleEntry Entries[MaxModules];
};
extern ModuleTable InitFinal;

// The run-time's own module entries 1 to 4.
void SystemInit();  // system run-time start-up
void InternalResourcesInit();
void DosServicesInit();  // installs DosExitProc
void ObjectsFinal();

extern Procedure ExitProc;
extern uint16_t ErrorCode;
extern void* ErrorAddr;
extern void* ErrorBase;
extern int32_t ExitCode;
using ErrorProcHook = void (*)(uint16_t number, void* address, void* frame);
extern ErrorProcHook ErrorProc;
using BackTraceStrFunction = ShortString (*)(void* address);
extern BackTraceStrFunction BackTraceStrFunc;
extern uint16_t MaxFrameDump;
extern uint16_t Default8087CW;
extern uint32_t MXCSR;
extern bool IsConsole;
extern bool IsLibrary;
extern Procedure InitProc;
extern win::HINSTANCE MainInstance;

// A1/A2: the process entry. Fills the module table and runs the main routine,
// which is expected to end in DoExit.
[[noreturn]] void ProcessEntry(const ModuleTable& modules, Procedure mainRoutine);
void InitializeUnits();

void IOCheck();
[[noreturn]] void RunError(uint16_t number);
[[noreturn]] void HandleError(uint16_t number);
[[noreturn]] void HandleErrorFrame(uint16_t number, void* frame);
[[noreturn]] void HandleErrorAddrFrame(uint16_t number, void* address, void* frame);
[[noreturn]] void Halt(int32_t code);
[[noreturn]] void DoExit();
void InternalExit();
[[noreturn]] void SystemExit();

ShortString SysBackTraceStr(void* address);
void DumpStack(TextRec& t, void* frame);
void SysResetFPU();

}  // namespace rtl
