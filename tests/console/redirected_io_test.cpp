// The terminal's streams on files and pipes: the dialogue written unchanged,
// input a line at a time, and the end of input as the only key.
#include "console/redirected_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/main_routine.h"
#include "console/keyboard.h"
#include "console/screen_output.h"
#include "platform/posix/user/memory_display.h"
#include "runtime/system.h"
#include "runtime/text_stream.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;

testing_support::ChildResult Program(const std::string& input) {
  return RunInChild(
      [] {
        win::stand_in::UseMemoryDisplay();
        rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
      },
      input);
}

// The answers are not echoed; each prime's line ends in CR LF as the program writes it.
TEST(RedirectedStreams, TheWholeDialogueReachesTheFileUnchanged) {
  auto r = Program("10\n0\n");
  EXPECT_EQ(r.exitCode, 0);
  std::string expected = "m\xF8 prime search<=1646:";
  for (int p : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29}) expected += std::to_string(p) + " is PRIME!\r\n";
  expected += "LastP=29 NumPtot=10 NumOP=94\r\n";
  EXPECT_EQ(r.out.substr(0, expected.size()), expected);
}

// A search stops at the end of input, and the program ends rather than wait for more.
TEST(RedirectedStreams, EndOfInputStopsASearchButUnreadLinesDoNot) {
  auto stopped = Program("1646\n");
  EXPECT_EQ(stopped.exitCode, 0);
  EXPECT_NE(stopped.out.find("2 is PRIME!\r\nLastP=2 NumPtot=1 NumOP=1\r\n"), std::string::npos) << stopped.out;
  auto full = Program("1646\n0\n");
  EXPECT_NE(full.out.find("LastP=13921 NumPtot=1646 NumOP=1088138"), std::string::npos);
}

// An idle pipe: no key while it is open, nor for a line not yet read; line
// input takes one line per call; the end of input is a key and an empty line.
TEST(RedirectedStreams, LinesFromAPipeAndItsEnd) {
  auto r = RunInChild([] {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) _exit(10);
    dup2(pipeEnds[0], 0);
    rtl::SysInitStdIO();
    crt::CrtInit();
    std::string seen = crt::KeyPressed() ? "key " : "idle ";
    if (write(pipeEnds[1], "5\n67\n", 5) != 5) _exit(11);
    seen += crt::KeyPressed() ? "key " : "unread ";
    for (int i = 0; i < 2; ++i) {
      crt::CrtRead(rtl::Input);
      seen += "[" + std::string(rtl::Input.BufPtr, static_cast<size_t>(rtl::Input.BufEnd)) + "]";
    }
    close(pipeEnds[1]);
    seen += crt::KeyPressed() ? " ended " : " open ";
    crt::CrtRead(rtl::Input);
    seen += std::to_string(rtl::Input.BufEnd);
    if (write(2, seen.data(), seen.size()) < 0) _exit(12);
    _exit(0);
  });
  EXPECT_EQ(r.err, "idle unread [5\n][67\n] ended 0");
}

TEST(RedirectedStreams, AWriteToAClosedPipeIsARunTimeError) {
  auto r = RunInChild(
      [] {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) _exit(10);
        close(pipeEnds[0]);
        dup2(pipeEnds[1], 1);
        rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
      },
      "10\n0\n");
  EXPECT_EQ(r.exitCode, 233);
}

}  // namespace
