// Processor faults as run-time errors: the unhandled-exception filter, the
// floating-point unit's set-up, and the SSE probe.
#pragma once

#include "platform/win.h"

namespace rtl {

extern bool SSESupported;

void InstallFaultFilter();
void RemoveFaultFilter();
void RecordStackSegment();
void ProbeSSE();
void LoadMXCSR();

// An exception raised where the program stands rather than by the processor:
// mapped by the fault table and reported at the caller of the function whose
// frame is given.
[[noreturn]] void RaiseExceptionFrame(win::DWORD code, void* frame);

}  // namespace rtl
