#include "platform/posix/console/terminal_mode.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace win::stand_in {
namespace {

int rawModeFd = -1;  // the terminal whose mode savedMode holds
termios savedMode;
std::atomic<bool> sizeChanged{false}, continued{false};
void (*putBackBeforeStop)() = nullptr;

void OnSizeChange(int) {
  sizeChanged = true;
}

void Catch(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

// The terminal is left as the user had it, the process stops as it would
// have, and on continue the host takes the terminal again.
void OnStop(int signal) {
  int savedErrno = errno;
  if (rawModeFd >= 0 && InForeground(rawModeFd)) {
    if (putBackBeforeStop) putBackBeforeStop();
    RestoreMode();
  }
  Catch(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  // Continued.
  Catch(signal, OnStop);
  continued = true;
  errno = savedErrno;
}

}  // namespace

int SetRawMode(int fd) {
  termios mode;
  if (tcgetattr(fd, &mode) != 0) return 0;
  if (rawModeFd < 0) savedMode = mode;
  // Keys reach the program as typed: no line editing, no echo, no flow control,
  // no translation of Enter. Ctrl+C still interrupts; Ctrl+\ and Ctrl+Z become
  // keys, as on a console.
  mode.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | ISTRIP);
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  mode.c_cc[VQUIT] = _POSIX_VDISABLE;
  mode.c_cc[VSUSP] = _POSIX_VDISABLE;
  if (tcsetattr(fd, TCSANOW, &mode) == 0 && rawModeFd < 0) rawModeFd = fd;
  int waiting = 0;
  if (ioctl(fd, FIONREAD, &waiting) != 0) waiting = 0;
  return waiting;
}

void SetQuietMode(int fd) {
  termios mode;
  if (tcgetattr(fd, &mode) != 0) return;
  if (rawModeFd < 0) savedMode = mode;
  mode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
  if (tcsetattr(fd, TCSANOW, &mode) == 0 && rawModeFd < 0) rawModeFd = fd;
}

void RestoreMode() {
  if (rawModeFd >= 0) tcsetattr(rawModeFd, TCSANOW, &savedMode);
}

bool InForeground(int fd) {
  return tcgetpgrp(fd) == getpgrp();
}

void WatchTerminalSignals(void (*putBack)()) {
  putBackBeforeStop = putBack;
  Catch(SIGWINCH, OnSizeChange);
  for (int signal : {SIGTSTP, SIGTTIN, SIGTTOU}) {
    struct sigaction current {};
    sigaction(signal, nullptr, &current);
    // A shell without job control starts its background programs with these ignored.
    if (current.sa_handler != SIG_IGN) Catch(signal, OnStop);
  }
}

bool TakeSizeChange() {
  return sizeChanged.exchange(false);
}

bool TakeContinued() {
  return continued.exchange(false);
}

bool ContinuePending() {
  return continued;
}

bool TerminalChangePending() {
  return continued || sizeChanged;
}

}  // namespace win::stand_in
