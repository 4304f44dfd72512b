// The terminal's streams on files and pipes: the dialogue written unchanged,
// input a line at a time, and the end of input as the only key.
#include "console/redirected_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/main_routine.h"
#include "console/keyboard.h"
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

TEST(RedirectedStreams, TheWholeDialogueReachesTheFileUnchanged) {
  auto r = Program("10\n0\n");
  EXPECT_EQ(r.exitCode, 0);
  std::string expected = "m\xF8 prime search<=1646:";
  for (int p : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29}) expected += std::to_string(p) + " is PRIME!\r\n";
  expected += "LastP=29 NumPtot=10 NumOP=94\r\n";
  EXPECT_EQ(r.out.substr(0, expected.size()), expected);
}

TEST(RedirectedStreams, EndOfInputStopsASearchButUnreadLinesDoNot) {
  auto stopped = Program("1646\n");
  EXPECT_NE(stopped.out.find("2 is PRIME!\r\nLastP=2 NumPtot=1 NumOP=1\r\n"), std::string::npos) << stopped.out;
  auto full = Program("1646\n0\n");
  EXPECT_NE(full.out.find("LastP=13921 NumPtot=1646 NumOP=1088138"), std::string::npos);
}

// An idle pipe: no key while it is open, then the end of input is one.
TEST(RedirectedStreams, PollingAnIdlePipeNeverBlocks) {
  auto r = RunInChild([] {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) _exit(10);
    dup2(pipeEnds[0], 0);
    crt::DetectRedirection();
    rtl::SysInitStdIO();
    bool idle = !crt::KeyPressed();
    if (write(pipeEnds[1], "5\n", 2) != 2) _exit(11);
    bool unreadLine = !crt::KeyPressed();
    char line[16];
    int32_t n = crt::ReadRedirectedLine(line, sizeof line);
    bool gotLine = n == 2 && line[0] == '5';
    close(pipeEnds[1]);
    bool ended = crt::KeyPressed();
    bool emptyAtEnd = crt::ReadRedirectedLine(line, sizeof line) == 0;
    _exit(idle && unreadLine && gotLine && ended && emptyAtEnd ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
}

TEST(RedirectedStreams, LongLinesComeInBufferSizedPieces) {
  auto r = RunInChild(
      [] {
        crt::DetectRedirection();
        char piece[8];
        int32_t first = crt::ReadRedirectedLine(piece, sizeof piece);
        int32_t second = crt::ReadRedirectedLine(piece, sizeof piece);
        _exit(first == 8 && second == 3 && piece[2] == '\n' ? 0 : 1);
      },
      "abcdefghij\n");
  EXPECT_EQ(r.exitCode, 0);
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
  EXPECT_EQ(r.exitCode, 109);
}

}  // namespace
