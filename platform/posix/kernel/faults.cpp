// Processor faults reach the unhandled-exception filter as the
// exception codes Windows gives them. The filter may redirect the faulting
// context; the handler then returns into it.
#include <signal.h>
#include <sys/resource.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win {
namespace {

LPTOP_LEVEL_EXCEPTION_FILTER installedFilter = nullptr;
constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};
uint8_t alternateStack[64 * 1024];

DWORD FloatingPointCode(int code) {
  switch (code) {
    case FPE_INTDIV:
      return EXCEPTION_INT_DIVIDE_BY_ZERO;
    case FPE_INTOVF:
      return EXCEPTION_INT_OVERFLOW;
    case FPE_FLTDIV:
      return EXCEPTION_FLT_DIVIDE_BY_ZERO;
    case FPE_FLTOVF:
      return EXCEPTION_FLT_OVERFLOW;
    case FPE_FLTUND:
      return EXCEPTION_FLT_UNDERFLOW;
    case FPE_FLTRES:
      return EXCEPTION_FLT_INEXACT_RESULT;
    case FPE_FLTSUB:
      return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
    default:
      return EXCEPTION_FLT_INVALID_OPERATION;
  }
}

// A fault just below the stack pointer, beyond the stack's limit, is a stack overflow.
bool IsStackOverflow(const siginfo_t* info, const ucontext_t* context) {
#if defined(__x86_64__)
  auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  auto sp = static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RSP]);
  return address + 65536 >= sp && address <= sp + 65536 && address < sp + 4096;
#else
  (void)info;
  (void)context;
  return false;
#endif
}

DWORD ExceptionCodeOf(int signal, const siginfo_t* info, const ucontext_t* context) {
  switch (signal) {
    case SIGSEGV:
    case SIGBUS:
      return IsStackOverflow(info, context) ? EXCEPTION_STACK_OVERFLOW : EXCEPTION_ACCESS_VIOLATION;
    case SIGILL:
      return EXCEPTION_ILLEGAL_INSTRUCTION;
    default:
      return FloatingPointCode(info->si_code);
  }
}

void EndByDefault(int signal) {
  stand_in::RunExitHooks();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  raise(signal);
}

void OnFault(int signal, siginfo_t* info, void* raw) {
  auto* context = static_cast<ucontext_t*>(raw);
  if (!installedFilter) return EndByDefault(signal);
  EXCEPTION_RECORD record{};
  record.ExceptionCode = ExceptionCodeOf(signal, info, context);
  CONTEXT registers{};
#if defined(__x86_64__)
  greg_t* g = context->uc_mcontext.gregs;
  record.ExceptionAddress = reinterpret_cast<void*>(g[REG_RIP]);
  registers.Rip = static_cast<uint64_t>(g[REG_RIP]);
  registers.Rsp = static_cast<uint64_t>(g[REG_RSP]);
  registers.Rbp = static_cast<uint64_t>(g[REG_RBP]);
  uint16_t ss;
  asm volatile("mov %%ss, %0" : "=r"(ss));
  registers.SegSs = ss;
#endif
  if (signal == SIGSEGV || signal == SIGBUS) {
    record.NumberParameters = 2;
    record.ExceptionInformation[1] = reinterpret_cast<ULONG_PTR>(info->si_addr);
  }
  EXCEPTION_POINTERS pointers{&record, &registers};
  if (installedFilter(&pointers) != EXCEPTION_CONTINUE_EXECUTION) return EndByDefault(signal);
#if defined(__x86_64__)
  g[REG_RIP] = static_cast<greg_t>(registers.Rip);
  g[REG_RSP] = static_cast<greg_t>(registers.Rsp);
  g[REG_RBP] = static_cast<greg_t>(registers.Rbp);
  // The saved x87 and SSE state still carries the exception that faulted; clear
  // it so that resuming does not fault again.
  if (context->uc_mcontext.fpregs) {
    context->uc_mcontext.fpregs->swd &= static_cast<uint16_t>(~0x80FFu);
    context->uc_mcontext.fpregs->mxcsr &= ~0x3Fu;
  }
#endif
}

}  // namespace

LPTOP_LEVEL_EXCEPTION_FILTER WINAPI
SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER lpTopLevelExceptionFilter) {
  LPTOP_LEVEL_EXCEPTION_FILTER previous = installedFilter;
  installedFilter = lpTopLevelExceptionFilter;
  static bool installed = false;
  if (!installed && lpTopLevelExceptionFilter) {
    installed = true;
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int signal : FaultSignals) sigaction(signal, &action, nullptr);
  }
  return previous;
}

}  // namespace win
