// Processor faults as run-time errors: the unhandled-exception filter, the
// floating-point unit's set-up, and the SSE probe.
#pragma once

namespace rtl {

extern bool SSESupported;

void InstallFaultFilter();
void RemoveFaultFilter();
void RecordStackSegment();
void ProbeSSE();
void LoadMXCSR();

}  // namespace rtl
