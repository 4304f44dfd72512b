// The process: exit with its hooks, start-up information, module base, library
// lookup, memory reads that never fault, code pages, and the signals that end it.
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

constexpr int MaxExitHooks = 8;
void (*exitHooks[MaxExitHooks])();
std::atomic<int> exitHookCount{0};
std::atomic<bool> exitHooksRan{false};
std::atomic<UINT> consoleOutputCodePage{437};

// Ends the process at once with 128 + the signal, as a shell reports it, after
// the hosts have put back what they changed.
void EndBySignal(int signal) {
  RunExitHooks();
  _exit(128 + signal);
}

constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGQUIT};

int FirstModule(dl_phdr_info* info, size_t, void* base) {
  *static_cast<uintptr_t*>(base) = info->dlpi_addr;
  return 1;
}

}  // namespace

// A write to a closed pipe must fail like a Windows write (broken pipe), not
// kill the process.
void CatchEndingSignals() {
  signal(SIGPIPE, SIG_IGN);
  struct sigaction ending {};
  ending.sa_handler = EndBySignal;
  sigemptyset(&ending.sa_mask);
  for (int signal : EndingSignals) sigaction(signal, &ending, nullptr);
}

void RegisterExitHook(void (*hook)()) {
  int slot = exitHookCount.fetch_add(1);
  if (slot < MaxExitHooks) exitHooks[slot] = hook;
}

void RunExitHooks() {
  if (exitHooksRan.exchange(true)) return;
  int count = exitHookCount.load();
  if (count > MaxExitHooks) count = MaxExitHooks;
  for (int i = count - 1; i >= 0; --i) exitHooks[i]();
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

void WINAPI ExitProcess(UINT uExitCode) {
  RunExitHooks();
  _exit(static_cast<int>(uExitCode));
}

void WINAPI GetStartupInfoA(LPSTARTUPINFOA lpStartupInfo) {
  std::memset(lpStartupInfo, 0, sizeof *lpStartupInfo);
  lpStartupInfo->cb = sizeof *lpStartupInfo;
  lpStartupInfo->wShowWindow = SW_SHOWNORMAL;
  lpStartupInfo->hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  lpStartupInfo->hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  lpStartupInfo->hStdError = GetStdHandle(STD_ERROR_HANDLE);
}

// The load base of the executable: code addresses minus it are what the
// executable's symbols and line tables use.
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName) {
    SetLastErrorCode(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  uintptr_t base = 0;
  dl_iterate_phdr(FirstModule, &base);
  return reinterpret_cast<HMODULE>(base);
}

DWORD WINAPI GetCurrentProcessId() {
  return static_cast<DWORD>(getpid());
}
HANDLE WINAPI GetCurrentProcess() {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

BOOL WINAPI GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
  if (!lpVersionInformation) return FALSE;
  lpVersionInformation->dwMajorVersion = 10;
  lpVersionInformation->dwMinorVersion = 0;
  lpVersionInformation->dwBuildNumber = 19045;
  lpVersionInformation->dwPlatformId = 2;
  lpVersionInformation->szCSDVersion[0] = 0;
  return TRUE;
}

// No libraries are loaded here; the kernel's own name yields a handle whose
// lookups find nothing, so callers take their fallback.
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  static char kernelModule;
  if (lpLibFileName && strcasecmp(lpLibFileName, "kernel32") == 0) return reinterpret_cast<HMODULE>(&kernelModule);
  SetLastErrorCode(ERROR_FILE_NOT_FOUND);
  return nullptr;
}
FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) {
  return nullptr;
}
BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  return hLibModule != nullptr;
}

BOOL WINAPI ReadProcessMemory(HANDLE, LPCVOID lpBaseAddress, LPVOID lpBuffer, SIZE_T nSize,
                              SIZE_T* lpNumberOfBytesRead) {
  iovec local{lpBuffer, nSize};
  iovec remote{const_cast<void*>(lpBaseAddress), nSize};
  ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = n > 0 ? static_cast<SIZE_T>(n) : 0;
  if (n != static_cast<ssize_t>(nSize)) {
    SetLastErrorCode(299);  // ERROR_PARTIAL_COPY
    return FALSE;
  }
  return TRUE;
}

UINT WINAPI GetACP() {
  return 1252;
}
UINT WINAPI GetConsoleOutputCP() {
  return consoleOutputCodePage.load();
}
BOOL WINAPI SetConsoleOutputCP(UINT wCodePageID) {
  if (wCodePageID == 0) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  consoleOutputCodePage = wCodePageID;
  return TRUE;
}

}  // namespace win
