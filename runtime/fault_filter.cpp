// The unhandled-exception filter: a fault on the program's stack becomes a
// run-time error. The faulting context is redirected to JumpToHandleErrorFrame,
// which reports it through the normal error path.
#include "runtime/fault_filter.h"

#include <cstdint>
#include <type_traits>

#include "platform/win.h"
#include "runtime/system.h"

namespace rtl {

bool SSESupported = true;

namespace {

struct PendingFault {
  void* address;
  void* frame;
  uint16_t number;
  bool resetFPU;
};
constexpr int MaxPendingFaults = 16;
PendingFault PendingFaults[MaxPendingFaults];
volatile int PendingCount = 0;
volatile bool ProbingSSE = false;
uint16_t StackSegment = 0;

uint16_t CurrentStackSegment() {
  uint16_t ss;
  asm volatile("mov %%ss, %0" : "=r"(ss));
  return ss;
}

struct FaultMapping {
  uint16_t number;
  bool resetFPU;
};

FaultMapping MapException(win::DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return {216, true};
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
      return {201, false};
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_UNDERFLOW:
      return {206, true};
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      return {200, true};
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_STACK_CHECK:
      return {207, true};
    case EXCEPTION_FLT_OVERFLOW:
      return {205, true};
    case EXCEPTION_INT_OVERFLOW:
      return {215, false};
    case EXCEPTION_PRIV_INSTRUCTION:
      return {218, false};
    case EXCEPTION_STACK_OVERFLOW:
      return {202, false};
    case STATUS_CONTROL_C_EXIT:
      return {217, true};
  }
  return {static_cast<uint16_t>((code & 0xC0000000u) == 0xC0000000u ? 217 : 255), true};
}

[[noreturn]] __attribute__((noinline)) void JumpToHandleErrorFrame() {
  int top = PendingCount - 1;
  PendingCount = top;
  PendingFault fault = PendingFaults[top];
  if (fault.resetFPU) SysResetFPU();
  HandleErrorAddrFrame(fault.number, fault.address, fault.frame);
}

// A stack overflow leaves no room below the faulting code: the error path
// then runs on a stack of its own, never to return to the old one.
alignas(16) uint8_t OverflowStack[256 * 1024];

// The stack pointer the redirected context starts with: below the faulting
// code's red zone, aligned as a function entry expects.
uintptr_t EntryStackPointer(win::DWORD code, uintptr_t faultingStackPointer) {
  uintptr_t top = faultingStackPointer - 512;
  if (code == EXCEPTION_STACK_OVERFLOW) top = reinterpret_cast<uintptr_t>(OverflowStack + sizeof OverflowStack);
  return (top & ~static_cast<uintptr_t>(15)) - sizeof(void*);
}

win::LONG WINAPI FaultFilter(win::EXCEPTION_POINTERS* info) {
  win::CONTEXT* context = info->ContextRecord;
  if (context->SegSs != StackSegment || PendingCount >= MaxPendingFaults) return EXCEPTION_CONTINUE_SEARCH;
  win::DWORD code = info->ExceptionRecord->ExceptionCode;
#if defined(__x86_64__)
  auto& ipRegister = context->Rip;
  auto& spRegister = context->Rsp;
  void* frame = reinterpret_cast<void*>(context->Rbp);
#else
  auto& ipRegister = context->Eip;
  auto& spRegister = context->Esp;
  void* frame = reinterpret_cast<void*>(static_cast<uintptr_t>(context->Ebp));
#endif
  uintptr_t ip = static_cast<uintptr_t>(ipRegister);
  uintptr_t sp = static_cast<uintptr_t>(spRegister);
  if (code == EXCEPTION_ILLEGAL_INSTRUCTION && ProbingSSE) {
    SSESupported = false;
    ipRegister = static_cast<std::remove_reference_t<decltype(ipRegister)>>(ip + 3);  // past the probe
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  FaultMapping mapping = MapException(code);
  int slot = PendingCount;
  PendingCount = slot + 1;
  PendingFaults[slot] = {reinterpret_cast<void*>(ip), frame, mapping.number, mapping.resetFPU};
  using Register = std::remove_reference_t<decltype(ipRegister)>;
  ipRegister = static_cast<Register>(reinterpret_cast<uintptr_t>(&JumpToHandleErrorFrame));
  spRegister = static_cast<Register>(EntryStackPointer(code, sp));
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The caller's frame and the return address into it, as the compiler lays
// them out with frame pointers kept.
struct Frame {
  void* caller;
  void* returnAddress;
};

}  // namespace

void RaiseExceptionFrame(win::DWORD code, void* frame) {
  FaultMapping mapping = MapException(code);
  if (mapping.resetFPU) SysResetFPU();
  const Frame* f = static_cast<const Frame*>(frame);
  HandleErrorAddrFrame(mapping.number, f->returnAddress, f->caller);
}

void InstallFaultFilter() {
  win::SetUnhandledExceptionFilter(FaultFilter);
}
void RemoveFaultFilter() {
  win::SetUnhandledExceptionFilter(nullptr);
}
void RecordStackSegment() {
  StackSegment = CurrentStackSegment();
}

void ProbeSSE() {
  ProbingSSE = true;
  asm volatile(".byte 0x0f, 0x28, 0xc0");  // movaps xmm0, xmm0: 3 bytes
  ProbingSSE = false;
}

void LoadMXCSR() {
  uint32_t value = MXCSR;
  asm volatile("ldmxcsr %0" ::"m"(value));
}

void SysResetFPU() {
  uint16_t controlWord = Default8087CW;
  asm volatile("fninit\n\tfldcw %0" ::"m"(controlWord));
}

}  // namespace rtl
