// Kernel operations of the stand-in: handles on file descriptors, threads,
// recursive critical sections, sleeping, process exit and the fault filter.
#pragma once

#include "platform/posix/win_types.h"

namespace win {

HANDLE WINAPI GetStdHandle(DWORD nStdHandle);
DWORD WINAPI GetFileType(HANDLE hFile);
// A read that waits is ended by a Ctrl+C that a handler takes (and by one taken
// before it that no read has yet been ended by): it fails with
// ERROR_OPERATION_ABORTED, as a console read does.
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPVOID lpOverlapped);
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPVOID lpOverlapped);
BOOL WINAPI CloseHandle(HANDLE hObject);
// Only "CONOUT$", the console's screen, which a console host serves even when
// the standard output is a file; any other name fails with ERROR_FILE_NOT_FOUND.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

UINT WINAPI GetACP();
UINT WINAPI GetConsoleOutputCP();
BOOL WINAPI SetConsoleOutputCP(UINT wCodePageID);
BOOL WINAPI GetConsoleMode(HANDLE hConsoleHandle, LPDWORD lpMode);

[[noreturn]] void WINAPI ExitProcess(UINT uExitCode);
void WINAPI Sleep(DWORD dwMilliseconds);
void WINAPI GetStartupInfoA(LPSTARTUPINFOA lpStartupInfo);
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
DWORD WINAPI GetCurrentProcessId();
DWORD WINAPI GetCurrentThreadId();
HANDLE WINAPI GetCurrentProcess();
BOOL WINAPI GetVersionExA(OSVERSIONINFOA* lpVersionInformation);
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL WINAPI FreeLibrary(HMODULE hLibModule);
BOOL WINAPI ReadProcessMemory(HANDLE hProcess, LPCVOID lpBaseAddress, LPVOID lpBuffer, SIZE_T nSize,
                              SIZE_T* lpNumberOfBytesRead);

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                           LPDWORD lpThreadId);
[[noreturn]] void WINAPI ExitThread(DWORD dwExitCode);
BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// Faults (SIGSEGV, SIGBUS, SIGILL, SIGFPE) reach the filter as the exception
// codes Windows would give them.
LPTOP_LEVEL_EXCEPTION_FILTER WINAPI SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER lpTopLevelExceptionFilter);
// Ctrl+C (SIGINT) calls the handlers as CTRL_C_EVENT, last added first, from
// the signal handler on the main thread: a handler must be async-signal-safe.
// When none takes it, the process ends as by SIGINT.
BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add);

}  // namespace win
