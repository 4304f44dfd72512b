// Run-time errors, faults and the exit sequence, each in a child process that
// starts through the run-time as the program does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

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
// line per calling frame, an empty line.
void ExpectReport(const std::string& out, int number) {
  std::smatch m;
  std::regex report("Runtime error " + std::to_string(number) +
                    " at \\$([0-9A-F]{8})\r\n  \\$\\1\r\n(  \\$[0-9A-F]{8}\r\n)+\r\n$");
  EXPECT_TRUE(std::regex_search(out, m, report)) << out;
}

TEST(ExitSequence, NormalEndHasNoReportAndCodeZero) {
  auto r = RunProgram([] { rtl::WriteShortStr(0, rtl::StdOut, "done"); });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "done");
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

TEST(RunErrors, RunErrorReportsItsNumberAndExitsWithIt) {
  auto r = RunProgram([] { rtl::RunError(201); });
  EXPECT_EQ(r.exitCode, 201);
  ExpectReport(r.out, 201);
}

TEST(RunErrors, IOCheckTurnsAPendingResultIntoAnError) {
  auto r = RunProgram([] {
    rtl::WriteShortStr(0, rtl::StdOut, "before ");
    rtl::Flush(rtl::StdOut);
    rtl::InOutRes = 106;
    rtl::IOCheck();
  });
  EXPECT_EQ(r.exitCode, 106);
  EXPECT_EQ(r.out.rfind("before Runtime error 106 at $", 0), 0u) << r.out;
  ExpectReport(r.out, 106);
}

volatile int depthReached = 0;
__attribute__((noinline)) void Recurse(int depth) {
  if (depth > 0)
    Recurse(depth - 1);
  else if (depthReached >= 0)
    rtl::RunError(202);
  depthReached = depth;  // keeps the call from becoming a jump
}

TEST(RunErrors, BacktraceOnAPipeIsNotCutAtNineFrames) {
  auto r = RunProgram([] { Recurse(20); });
  EXPECT_EQ(r.exitCode, 202);
  size_t lines = std::count(r.out.begin(), r.out.end(), '\n');
  EXPECT_GT(lines, 22u) << r.out;
}

volatile int zero = 0;
volatile long double zeroLd = 0.0L;
volatile long double big = 1e4000L;

TEST(Faults, BecomeRunTimeErrorsWithTheReport) {
  struct Case {
    void (*trigger)();
    int number;
  };
  const Case cases[] = {
      // Written in machine code, so the faults are the processor's, not the compiler's to assume away.
      {[] { asm volatile("movl $1, (%0)" ::"r"(static_cast<intptr_t>(zero))); }, 216},
      {[] {
         int dividend = 10;
         asm volatile("cltd\n\tidivl %1" : "+a"(dividend) : "r"(zero) : "edx");
       },
       200},
      {[] { zeroLd = 1.0L / zeroLd; }, 200},
      {[] { zeroLd = zeroLd / zeroLd; }, 207},
      {[] { big = big * big; }, 205},
  };
  for (const Case& c : cases) {
    auto r = RunProgram(c.trigger);
    EXPECT_EQ(r.exitCode, c.number);
    ExpectReport(r.out, c.number);
  }
}

}  // namespace

namespace {

int ptyMaster = -1;

__attribute__((noinline)) void DumpFromDepth(int depth) {
  if (depth > 0) {
    DumpFromDepth(depth - 1);
  } else {
    rtl::DumpStack(rtl::StdOut, __builtin_frame_address(0));
    rtl::Flush(rtl::StdOut);
  }
  depthReached = depth;
}

TEST(RunErrors, BacktraceOnAConsoleStopsAfterNineFrames) {
  auto r = RunInChild([] {
    int slave;
    ptyMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (ptyMaster < 0 || grantpt(ptyMaster) || unlockpt(ptyMaster)) _exit(100);
    slave = open(ptsname(ptyMaster), O_RDWR | O_NOCTTY);
    dup2(slave, 1);
    rtl::SysInitStdIO();
    DumpFromDepth(20);
    char buffer[4096];
    ssize_t n = read(ptyMaster, buffer, sizeof buffer);
    _exit(static_cast<int>(std::count(buffer, buffer + (n > 0 ? n : 0), '\n')));
  });
  EXPECT_EQ(r.exitCode, 9);
}

}  // namespace
