// Kernel handles over file descriptors, with Windows error numbers. The three
// standard handles are fixed objects; a standard stream that the console side
// serves is read and written through it.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "platform/posix/kernel/control_events.h"
#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/kernel/linux_text.h"

namespace win::stand_in {
namespace {

HandleObject standardHandles[3] = {
    {HandleKind::File, StdInputStream, nullptr},
    {HandleKind::File, StdOutputStream, nullptr},
    {HandleKind::File, StdErrorStream, nullptr},
};
HandleObject consoleScreen{HandleKind::File, -1, nullptr};
const ConsoleFiles* consoleFiles = nullptr;
thread_local DWORD lastError = 0;

bool ServedByConsole(int stream) {
  return stream >= 0 && consoleFiles && consoleFiles->serves(static_cast<StdStream>(stream));
}

DWORD WindowsErrorOf(int error) {
  switch (error) {
    // A write whose reader is gone. Not ERROR_BROKEN_PIPE: that is what a
    // reader meets when the writer is gone, and it reads as the end of input.
    case EPIPE:
      return ERROR_PIPE_NOT_CONNECTED;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_GEN_FAILURE;
  }
}

std::atomic<unsigned> controlEventsSeen{0};

// Waits until a read of fd will not block. Ctrl+C ends the wait, as it ends a
// console read, so that the reader can act on it: false when an event was
// taken that no read has yet been ended by. SIGINT stays blocked except
// inside the wait, so that none slips in between the test and the wait.
bool WaitReadable(int fd) {
  sigset_t interrupt, previous;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
  bool readable = true;
  for (;;) {
    unsigned taken = ControlEventsTaken();
    if (taken != controlEventsSeen.exchange(taken)) {
      readable = false;
      break;
    }
    pollfd wait{fd, POLLIN, 0};
    if (ppoll(&wait, 1, nullptr, &previous) >= 0 || errno != EINTR) break;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return readable;
}

}  // namespace

void SetLastErrorFromErrno(int error) {
  lastError = WindowsErrorOf(error);
}
void SetLastErrorCode(DWORD code) {
  lastError = code;
}
DWORD LastErrorCode() {
  return lastError;
}

HandleObject* ObjectOf(HANDLE handle) {
  for (auto& object : standardHandles)
    if (handle == &object) return &object;
  return CheckedObject(handle);
}

void RegisterConsoleFiles(const ConsoleFiles* files) {
  consoleFiles = files;
}

int StdStreamOfHandle(HANDLE handle) {
  for (int i = 0; i < 3; ++i)
    if (handle == &standardHandles[i]) return i;
  return -1;
}

HANDLE ConsoleScreenHandle() {
  return &consoleScreen;
}

int DescriptorOfHandle(HANDLE handle) {
  if (StandardStreamClosedAtStart(StdStreamOfHandle(handle))) return -1;
  HandleObject* object = ObjectOf(handle);
  return object && object->kind == HandleKind::File ? object->fd : -1;
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
  switch (nStdHandle) {
    case STD_INPUT_HANDLE:
      return &standardHandles[0];
    case STD_OUTPUT_HANDLE:
      return &standardHandles[1];
    case STD_ERROR_HANDLE:
      return &standardHandles[2];
  }
  SetLastErrorCode(ERROR_INVALID_HANDLE);
  return INVALID_HANDLE_VALUE;
}

DWORD WINAPI GetFileType(HANDLE hFile) {
  int stream = StdStreamOfHandle(hFile);
  if (ServedByConsole(stream)) return FILE_TYPE_CHAR;
  int fd = DescriptorOfHandle(hFile);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FILE_TYPE_UNKNOWN;
  }
  if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
  if (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode)) return FILE_TYPE_DISK;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
  return FILE_TYPE_UNKNOWN;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, LPVOID) {
  DWORD ignored;
  DWORD& done = lpNumberOfBytesRead ? *lpNumberOfBytesRead : ignored;
  done = 0;
  int stream = StdStreamOfHandle(hFile);
  if (ServedByConsole(stream))
    return consoleFiles->read(static_cast<StdStream>(stream), static_cast<char*>(lpBuffer), nNumberOfBytesToRead,
                              &done);
  int fd = DescriptorOfHandle(hFile);
  if (fd < 0) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!WaitReadable(fd)) {
    SetLastErrorCode(ERROR_OPERATION_ABORTED);
    return FALSE;
  }
  ssize_t n;
  do n = read(fd, lpBuffer, nNumberOfBytesToRead);
  while (n < 0 && errno == EINTR);
  if (n < 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  done = static_cast<DWORD>(n);
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPVOID) {
  DWORD ignored;
  DWORD& done = lpNumberOfBytesWritten ? *lpNumberOfBytesWritten : ignored;
  done = 0;
  int stream = StdStreamOfHandle(hFile);
  if (ServedByConsole(stream))
    return consoleFiles->write(static_cast<StdStream>(stream), static_cast<const char*>(lpBuffer),
                               nNumberOfBytesToWrite, &done);
  int fd = DescriptorOfHandle(hFile);
  if (fd < 0) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const char* bytes = static_cast<const char*>(lpBuffer);
  size_t count = nNumberOfBytesToWrite;
  // The standard output and error hold text: on a file or a pipe, Linux text.
  std::string text;
  if (stream == StdOutputStream || stream == StdErrorStream) {
    text = ToLinuxText(stream, bytes, count);
    bytes = text.data();
    count = text.size();
  }
  for (size_t sent = 0; sent < count;) {
    ssize_t n = write(fd, bytes + sent, count - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SetLastErrorFromErrno(n < 0 ? errno : ENOSPC);
      return FALSE;
    }
    sent += static_cast<size_t>(n);
  }
  done = nNumberOfBytesToWrite;
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (StdStreamOfHandle(hObject) >= 0) return TRUE;  // the standard handles stay
  if (!ReleaseObject(hObject)) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  if (lpFileName && std::strcmp(lpFileName, "CONOUT$") == 0) return ConsoleScreenHandle();
  SetLastErrorCode(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}

DWORD WINAPI GetLastError() {
  return LastErrorCode();
}
void WINAPI SetLastError(DWORD dwErrCode) {
  SetLastErrorCode(dwErrCode);
}

BOOL WINAPI GetConsoleMode(HANDLE hConsoleHandle, LPDWORD lpMode) {
  int stream = StdStreamOfHandle(hConsoleHandle);
  if (!ServedByConsole(stream)) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpMode) *lpMode = stream == StdInputStream ? 0x1F7u : 0x3u;
  return TRUE;
}

}  // namespace win
