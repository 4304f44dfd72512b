// Kernel objects behind handles: the standard streams' descriptors and threads.
// Handles other than the three standard ones are checked against a registry,
// so a stale or foreign handle is refused instead of followed.
#pragma once

#include <atomic>

#include "platform/posix/win_types.h"

namespace win::stand_in {

enum class HandleKind { File, Thread };
struct ThreadRecord;

struct HandleObject {
  HandleKind kind;
  int fd;                // File
  ThreadRecord* thread;  // Thread
};

HANDLE RegisterObject(HandleObject* object);
HandleObject* CheckedObject(HANDLE handle);  // null when not a live handle
HandleObject* ObjectOf(HANDLE handle);       // the standard ones included
bool ReleaseObject(HANDLE handle);           // false when not a live handle

// A standard stream whose descriptor was closed when the process started: its
// handle fails every operation with ERROR_INVALID_HANDLE. The start-up holds
// such a descriptor on /dev/null, so that no file opened later takes its number.
void HoldClosedStandardDescriptors();
bool StandardStreamClosedAtStart(int stream);

// Called at every Sleep when set; only the tests set one.
extern std::atomic<void (*)()> SleepObserver;

void SetLastErrorFromErrno(int error);
void SetLastErrorCode(DWORD code);
DWORD LastErrorCode();

}  // namespace win::stand_in
