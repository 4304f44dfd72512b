// How the kernel side of the stand-in meets its hosts. The console side
// registers itself so that reads, writes and the file type of the standard
// handles it serves go through its screen model; hosts that must undo something
// (a terminal's raw mode) register an exit hook that runs on every way out of
// the process: ExitProcess, a fault that ends it, SIGTERM, SIGHUP.
#pragma once

#include "platform/posix/win_types.h"

namespace win::stand_in {

enum StdStream : int { StdInputStream = 0, StdOutputStream = 1, StdErrorStream = 2 };

struct ConsoleFiles {
  bool (*serves)(StdStream stream);  // the console serves this standard stream
  bool (*write)(StdStream stream, const char* bytes, DWORD count, DWORD* written);
  bool (*read)(StdStream stream, char* bytes, DWORD count, DWORD* read);
};
// Registered by the console's part of the start-up.
void RegisterConsoleFiles(const ConsoleFiles* files);

// Which standard stream a handle is, or -1 for any other handle.
int StdStreamOfHandle(HANDLE handle);
// The console's screen ("CONOUT$"): a console host that shows one serves it
// whatever the standard output is.
HANDLE ConsoleScreenHandle();
// The file descriptor behind a handle, or -1.
int DescriptorOfHandle(HANDLE handle);

// Run in reverse order of registration, at most once, also from a signal handler
// (so they must be async-signal-safe).
void RegisterExitHook(void (*hook)());
void RunExitHooks();
// SIGTERM, SIGHUP and SIGQUIT end the process through the exit hooks; SIGPIPE is ignored.
void CatchEndingSignals();

}  // namespace win::stand_in
