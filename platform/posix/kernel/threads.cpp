// Threads with waitable handles and exit codes, recursive critical sections, sleeping.
#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/kernel/short_lock.h"

namespace win::stand_in {

struct ThreadRecord {
  LPTHREAD_START_ROUTINE start;
  LPVOID parameter;
  std::mutex lock;
  std::condition_variable ended;
  bool running = true;
  DWORD exitCode = STILL_ACTIVE;
  int references = 2;  // the handle and the thread itself
  DWORD id = 0;
  pthread_t thread;
};

std::atomic<void (*)()> SleepObserver{nullptr};

namespace {

std::mutex registryLock;
std::set<HandleObject*> registry;
std::atomic<DWORD> nextThreadId{1000};
thread_local DWORD currentThreadId = 0;
thread_local ThreadRecord* currentThread = nullptr;

void DropReference(ThreadRecord* record) {
  bool last;
  {
    std::lock_guard<std::mutex> guard(record->lock);
    last = --record->references == 0;
  }
  if (last) delete record;
}

void FinishThread(ThreadRecord* record, DWORD code) {
  {
    std::lock_guard<std::mutex> guard(record->lock);
    record->exitCode = code;
    record->running = false;
  }
  record->ended.notify_all();
  DropReference(record);
}

void* ThreadMain(void* argument) {
  auto* record = static_cast<ThreadRecord*>(argument);
  currentThread = record;
  currentThreadId = record->id;
  FinishThread(record, record->start(record->parameter));
  return nullptr;
}

}  // namespace

HANDLE RegisterObject(HandleObject* object) {
  std::lock_guard<std::mutex> guard(registryLock);
  registry.insert(object);
  return object;
}

HandleObject* CheckedObject(HANDLE handle) {
  std::lock_guard<std::mutex> guard(registryLock);
  auto found = registry.find(static_cast<HandleObject*>(handle));
  return found == registry.end() ? nullptr : *found;
}

bool ReleaseObject(HANDLE handle) {
  HandleObject* object;
  {
    std::lock_guard<std::mutex> guard(registryLock);
    auto found = registry.find(static_cast<HandleObject*>(handle));
    if (found == registry.end()) return false;
    object = *found;
    registry.erase(found);
  }
  if (object->kind == HandleKind::Thread) DropReference(object->thread);
  delete object;
  return true;
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD, LPDWORD lpThreadId) {
  auto* record = new ThreadRecord;
  record->start = lpStartAddress;
  record->parameter = lpParameter;
  DWORD id = nextThreadId++;
  record->id = id;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  if (dwStackSize) pthread_attr_setstacksize(&attributes, dwStackSize < 65536 ? 65536 : dwStackSize);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  // The signals that end the process or interrupt it are the main thread's:
  // there they end its waits, and their handlers run on no thread they stopped.
  sigset_t processSignals, previous;
  sigemptyset(&processSignals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&processSignals, signal);
  pthread_sigmask(SIG_BLOCK, &processSignals, &previous);
  int failed = pthread_create(&record->thread, &attributes, ThreadMain, record);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  pthread_attr_destroy(&attributes);
  if (failed) {
    delete record;
    SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (lpThreadId) *lpThreadId = id;
  auto* object = new HandleObject{HandleKind::Thread, -1, record};
  return RegisterObject(object);
}

void WINAPI ExitThread(DWORD dwExitCode) {
  if (currentThread) FinishThread(currentThread, dwExitCode);
  pthread_exit(nullptr);
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  HandleObject* object = CheckedObject(hThread);
  if (!object || object->kind != HandleKind::Thread || !lpExitCode) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(object->thread->lock);
  *lpExitCode = object->thread->exitCode;
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  HandleObject* object = CheckedObject(hHandle);
  if (!object || object->kind != HandleKind::Thread) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  ThreadRecord* record = object->thread;
  std::unique_lock<std::mutex> guard(record->lock);
  if (dwMilliseconds == INFINITE) {
    record->ended.wait(guard, [&] { return !record->running; });
    return WAIT_OBJECT_0;
  }
  bool done =
      record->ended.wait_for(guard, std::chrono::milliseconds(dwMilliseconds), [&] { return !record->running; });
  return done ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

DWORD WINAPI GetCurrentThreadId() {
  if (!currentThreadId) currentThreadId = nextThreadId++;
  return currentThreadId;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
  if (auto observer = SleepObserver.load()) observer();
  timespec wait{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  while (nanosleep(&wait, &wait) != 0) {
  }
}

static_assert(sizeof(stand_in::RecursiveShortLock) <= sizeof(CRITICAL_SECTION::storage));

// The program enters its drawing section once for every pixel it plots.
static stand_in::RecursiveShortLock& LockOf(LPCRITICAL_SECTION section) {
  return *std::launder(reinterpret_cast<stand_in::RecursiveShortLock*>(section->storage));
}

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  new (lpCriticalSection->storage) stand_in::RecursiveShortLock;
}
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection).lock();
}
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection).unlock();
}
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection).~RecursiveShortLock();
}

}  // namespace win
