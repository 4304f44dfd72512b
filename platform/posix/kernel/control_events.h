// Console control events inside the kernel stand-in: a read that Ctrl+C
// interrupts fails as an aborted operation, as a console read does.
#pragma once

namespace win::stand_in {

// Ctrl+C events taken by a handler so far.
unsigned ControlEventsTaken();

}  // namespace win::stand_in
