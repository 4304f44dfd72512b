// The terminal's streams on files and pipes: every answer read whenever it
// comes, nothing taken as a key, every run ending by itself; Linux text out.
// Each case runs in a fresh process: the program chooses its console once.
#include "console/redirected_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "app/main_routine.h"
#include "console/crt_streams.h"
#include "console/keyboard.h"
#include "console/line_input.h"
#include "console/screen_output.h"
#include "platform/posix/testing/memory_display.h"
#include "runtime/system.h"
#include "runtime/text_stream.h"
#include "tests/support/child_process.h"
#include "tests/support/fresh_process.h"
#include "tests/support/summaries.h"

namespace {

using testing_support::RunInChild;
using testing_support::Summaries;

void RunProgram() {
  win::stand_in::UseMemoryDisplay();
  rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
}

// The input as a regular file on the standard input.
void InputFromFile(const std::string& input) {
  char name[] = "/tmp/primes-input-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0 || write(fd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) _exit(90);
  unlink(name);
  lseek(fd, 0, SEEK_SET);
  dup2(fd, 0);
  close(fd);
}

// Pieces written into the standard input's pipe one by one, with a pause before each.
void InputFromSlowWriter(const std::vector<std::string>& pieces, std::chrono::milliseconds pause) {
  int ends[2];
  if (pipe(ends) != 0) _exit(91);
  dup2(ends[0], 0);
  close(ends[0]);
  std::thread([pieces, pause, writer = ends[1]] {
    for (const std::string& piece : pieces) {
      std::this_thread::sleep_for(pause);
      if (write(writer, piece.data(), piece.size()) < 0) _exit(92);
    }
    close(writer);
  }).detach();
}

const std::string Zero = "LastP=-1 NumPtot=0 NumOP=0";
const std::string Ten = "LastP=29 NumPtot=10 NumOP=94";
const std::string Hundred = "LastP=541 NumPtot=100 NumOP=8141";

struct Answers {
  const char* name;
  std::string input;
  std::vector<std::string> summaries;
};

const std::vector<Answers> answerCases = {
    {"unread empty line after the last answer", "10\n0\n\n", {Ten, Zero}},
    {"unread answer after the last", "0\n5\n", {Zero}},
    {"end of input during a search", "100\n", {Hundred, Zero}},
    {"a long search", "1646\n", {"LastP=13921 NumPtot=1646 NumOP=1088138", Zero}},
    {"no final line end", "7", {"LastP=17 NumPtot=7 NumOP=41", Zero}},
    {"CR line ends", "5\r3\r0\r", {"LastP=11 NumPtot=5 NumOP=21", "LastP=5 NumPtot=3 NumOP=6", Zero}},
    {"CR LF line ends and a trailing Ctrl+Z", "100\r\n0\r\n\x1a", {Hundred, Zero}},
    {"nothing at all", "", {Zero}},
};

// From a pipe and from a file alike, no search is cut short and no wait outlives the input.
TEST(RedirectedInput, EveryAnswerIsReadAndEveryRunEndsByItself) {
  if (!testing_support::InFreshProcess()) return;
  for (const Answers& c : answerCases) {
    auto piped = RunInChild(RunProgram, c.input);
    EXPECT_EQ(piped.exitCode, 0) << c.name << " (pipe)\n" << piped.err;
    EXPECT_EQ(Summaries(piped.out), c.summaries) << c.name << " (pipe)";
    auto fromFile = RunInChild([&c] {
      InputFromFile(c.input);
      RunProgram();
    });
    EXPECT_EQ(fromFile.exitCode, 0) << c.name << " (file)\n" << fromFile.err;
    EXPECT_EQ(Summaries(fromFile.out), c.summaries) << c.name << " (file)";
  }
}

// A writer that pauses between answers, within an answer, and between a CR and its LF.
TEST(RedirectedInput, AnswersThatComeLateAreAllRead) {
  if (!testing_support::InFreshProcess()) return;
  struct Late {
    std::vector<std::string> pieces;
    std::vector<std::string> summaries;
  };
  const std::vector<Late> cases = {
      {{"100\n", "50\n", "0\n"}, {Hundred, "LastP=229 NumPtot=50 NumOP=2209", Zero}},
      {{"1", "0\n", "", "0\n"}, {Ten, Zero}},
      {{"10\r", "\n0\r", "\n"}, {Ten, Zero}},
  };
  for (const Late& c : cases) {
    auto r = RunInChild([&c] {
      InputFromSlowWriter(c.pieces, std::chrono::milliseconds(300));
      RunProgram();
    });
    EXPECT_EQ(r.exitCode, 0) << c.pieces.front();
    EXPECT_EQ(Summaries(r.out), c.summaries) << c.pieces.front();
  }
}

// Line input hands over each line as soon as its line end is there (a CR
// included, whose LF may follow later), and never reports a key.
TEST(RedirectedInput, ALineIsHandedOverWhenItsLineEndArrives) {
  if (!testing_support::InFreshProcess()) return;
  auto r = RunInChild([] {
    int ends[2];
    if (pipe(ends) != 0) _exit(10);
    dup2(ends[0], 0);
    rtl::SysInitStdIO();
    crt::CrtInit();
    std::string seen;
    auto readLine = [&seen] {
      seen += crt::KeyPressed() ? "key" : "";
      crt::CrtRead(rtl::Input);
      seen += "[" + std::string(rtl::Input.BufPtr, static_cast<size_t>(rtl::Input.BufEnd)) + "]";
    };
    for (const char* piece : {"5\r", "\n67\n", "8\r\n"}) {
      if (write(ends[1], piece, strlen(piece)) < 0) _exit(11);
      readLine();
    }
    close(ends[1]);
    readLine();
    seen += crt::KeyPressed() || crt::KeysCanCome() ? " key" : " no key";
    if (write(2, seen.data(), seen.size()) < 0) _exit(12);
    _exit(0);
  });
  EXPECT_EQ(r.err, "[5\r\n][67\r\n][8\r\n][] no key");
}

// A line longer than line input's buffer comes in pieces; the answer is its first token.
TEST(RedirectedInput, ALongLineIsReadWhole) {
  if (!testing_support::InFreshProcess()) return;
  auto r = RunInChild(RunProgram, "3" + std::string(300, ' ') + "junk\n0\n");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(Summaries(r.out), (std::vector<std::string>{"LastP=5 NumPtot=3 NumOP=6", Zero}));
}

// On a file or a pipe the dialogue is Linux text: LF line ends, the prompt's
// 0xF8 in the locale's encoding; the error line on the standard error too.
TEST(RedirectedOutput, IsLinuxTextInTheLocalesEncoding) {
  if (!testing_support::InFreshProcess()) return;
  struct Locale {
    const char* name;
    std::string prompt;
  };
  for (const Locale& locale :
       {Locale{"C.UTF-8", "m\xC3\xB8 prime search<=1646:"}, Locale{"C", "m? prime search<=1646:"}}) {
    auto r = RunInChild(
        [&locale] {
          setenv("LC_ALL", locale.name, 1);
          win::stand_in::UseNoDisplay();
          rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
        },
        "10\n0\n");
    EXPECT_EQ(r.exitCode, 1) << locale.name;
    std::string expected = locale.prompt;
    for (int p : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29}) expected += std::to_string(p) + " is PRIME!\n";
    expected += Ten + "\n" + locale.prompt + Zero + "\nGRAPH errcode=-11";
    EXPECT_EQ(r.out, expected) << locale.name;
    EXPECT_NE(r.err.find("Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << r.err;
  }
}

TEST(RedirectedOutput, AWriteToAClosedPipeIsARunTimeError) {
  if (!testing_support::InFreshProcess()) return;
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
