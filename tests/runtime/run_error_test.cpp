// Run-time errors, faults and the exit sequence, each in a child process that
// starts through the run-time as the program does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>

#include "runtime/control_break.h"
#include "runtime/system.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;

void (*TestBody)() = nullptr;

void TestMain() {
  rtl::InitializeUnits();
  TestBody();
  rtl::DoExit();
}

const rtl::ModuleTable RunTimeOnly = {4,
                                      0,
                                      {{rtl::SystemInit, nullptr},
                                       {rtl::InternalResourcesInit, nullptr},
                                       {rtl::DosServicesInit, nullptr},
                                       {nullptr, rtl::ObjectsFinal}}};

testing_support::ChildResult RunProgram(void (*body)()) {
  TestBody = body;
  return RunInChild([] { rtl::ProcessEntry(RunTimeOnly, TestMain); });
}

// The report: the error line, the backtrace line with the same address, one
// line per calling frame, an empty line; on a pipe, with Linux line ends.
// Returns the reported address.
std::string ExpectReport(const std::string& out, int number) {
  std::smatch m;
  std::regex report("Runtime error " + std::to_string(number) +
                    " at \\$([0-9A-F]{8})\n  \\$\\1\n(  \\$[0-9A-F]{8}\n)+\n$");
  EXPECT_TRUE(std::regex_search(out, m, report)) << out;
  return m.empty() ? "" : m[1].str();
}

TEST(ExitSequence, NormalEndHasNoReportAndCodeZero) {
  auto r = RunProgram([] { rtl::WriteShortStr(0, rtl::StdOut, "done"); });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "done");
}

// A statement cut short by a run-time error leaves its text in Output's
// buffer; the exit sequence still writes it out.
TEST(ExitSequence, TextCutShortByARunTimeErrorIsNotLost) {
  auto r = RunProgram([] {
    rtl::WriteShortStr(0, rtl::Output, "cut short");
    rtl::RunError(201);
  });
  EXPECT_EQ(r.exitCode, 201);
  size_t at = r.out.find("cut short");
  ASSERT_NE(at, std::string::npos) << r.out;
  ExpectReport(r.out.substr(0, at) + r.out.substr(at + 9), 201);
}

rtl::Procedure savedFirst, savedSecond;
void ReportInOutRes(const char* name) {
  uint16_t seen = rtl::InOutRes;
  rtl::WriteShortStr(0, rtl::StdOut, name);
  rtl::WriteUInt(0, rtl::StdOut, seen);
  rtl::WriteShortStr(0, rtl::StdOut, " ");
}
void First() {
  rtl::ExitProc = savedFirst;
  ReportInOutRes("first:");
}
void Second() {
  rtl::ExitProc = savedSecond;
  ReportInOutRes("second:");
  rtl::InOutRes = 77;
}

TEST(ExitSequence, ExitProceduresRunLastInstalledFirstWithInOutResCleared) {
  auto r = RunProgram([] {
    savedFirst = rtl::ExitProc;
    rtl::ExitProc = First;
    savedSecond = rtl::ExitProc;
    rtl::ExitProc = Second;
    rtl::InOutRes = 55;
    rtl::Halt(3);
  });
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "second:0 first:0 ");
}

volatile int zero = 0;
volatile long double zeroLd = 0.0L;
volatile long double big = 1e4000L;
volatile int depthReached = 0;

volatile bool deeper = true;

// Deep enough to overflow any stack; the buffer keeps each call's frame large.
__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  return deeper ? Recurse(depth + 1) + frame[0] : 0;
}

TEST(RunErrors, ErrorsAndFaultsEndWithTheReportAndTheirNumber) {
  struct Case {
    void (*trigger)();
    int number;
    const char* before;  // output flushed ahead of the report
  };
  const Case cases[] = {
      {[] { rtl::RunError(201); }, 201, ""},
      {[] {
         rtl::WriteShortStr(0, rtl::StdOut, "before ");
         rtl::Flush(rtl::StdOut);
         rtl::InOutRes = 106;
         rtl::IOCheck();
       },
       106, "before "},
      // Written in machine code, so the faults are the processor's, not the compiler's to assume away.
      {[] { asm volatile("movl $1, (%0)" ::"r"(static_cast<intptr_t>(zero))); }, 216, ""},
      {[] {
         int dividend = 10;
         asm volatile("cltd\n\tidivl %1" : "+a"(dividend) : "r"(zero) : "edx");
       },
       200, ""},
      {[] { zeroLd = 1.0L / zeroLd; }, 200, ""},
      {[] { zeroLd = zeroLd / zeroLd; }, 207, ""},
      {[] { big = big * big; }, 205, ""},
      {[] { depthReached = Recurse(0); }, 202, ""},
  };
  for (const Case& c : cases) {
    auto r = RunProgram(c.trigger);
    EXPECT_EQ(r.exitCode, c.number);
    EXPECT_EQ(r.out.rfind(std::string(c.before) + "Runtime error " + std::to_string(c.number) + " at $", 0), 0u)
        << r.out;
    ExpectReport(r.out, c.number);
  }
}

// Ctrl+C is only noted where it lands; the program goes on to its next safe
// point, and the report names the caller of the function holding it.
__attribute__((noinline)) void HoldsASafePoint() {
  rtl::WriteShortStr(0, rtl::StdOut, "noted, caller at");
  rtl::WriteShortStr(0, rtl::StdOut, rtl::SysBackTraceStr(__builtin_return_address(0)));
  rtl::WriteLnEnd(rtl::StdOut);
  rtl::SafePoint(__builtin_frame_address(0));
  rtl::WriteShortStr(0, rtl::StdOut, "passed the safe point");
}

TEST(RunErrors, CtrlCEndsTheProgramAtTheNextSafePointReportedAtItsCaller) {
  auto r = RunProgram([] {
    rtl::SafePoint(__builtin_frame_address(0));  // nothing pending: passes
    raise(SIGINT);
    HoldsASafePoint();
  });
  EXPECT_EQ(r.exitCode, 217);
  EXPECT_EQ(r.out.rfind("noted, caller at  $", 0), 0u) << r.out;
  std::string caller = r.out.substr(19, 8);
  EXPECT_EQ(ExpectReport(r.out, 217), caller);
}

TEST(RunErrors, TheReportGoesToTheErrorStreamWhenTheOutputFails) {
  auto r = RunProgram([] {
    int fds[2];
    if (pipe(fds) != 0) _exit(9);
    close(fds[0]);
    dup2(fds[1], 1);
    rtl::RunError(201);
  });
  EXPECT_EQ(r.exitCode, 201);
  ExpectReport(r.err, 201);
}

__attribute__((noinline)) void DumpFromDepth(int depth) {
  if (depth > 0) {
    DumpFromDepth(depth - 1);
  } else {
    rtl::DumpStack(rtl::StdOut, __builtin_frame_address(0));
    rtl::Flush(rtl::StdOut);
  }
  depthReached = depth;  // keeps the call from becoming a jump
}

// From 20 frames deep: a console gets nine frames, a pipe all of them.
TEST(RunErrors, BacktraceIsCutAfterNineFramesOnAConsoleOnly) {
  auto onPipe = RunInChild([] {
    rtl::SysInitStdIO();
    DumpFromDepth(20);
  });
  EXPECT_GT(std::count(onPipe.out.begin(), onPipe.out.end(), '\n'), 20) << onPipe.out;

  auto onConsole = RunInChild([] {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) || unlockpt(master)) _exit(100);
    dup2(open(ptsname(master), O_RDWR | O_NOCTTY), 1);
    rtl::SysInitStdIO();
    DumpFromDepth(20);
    // The terminal passes written bytes on to its other side in steps: read
    // until nothing more arrives.
    char buffer[4096];
    ssize_t total = 0, n;
    pollfd ready{master, POLLIN, 0};
    while (poll(&ready, 1, 200) == 1 && (n = read(master, buffer + total, sizeof buffer - total)) > 0) total += n;
    _exit(static_cast<int>(std::count(buffer, buffer + total, '\n')));
  });
  EXPECT_EQ(onConsole.exitCode, 9);
}

}  // namespace
