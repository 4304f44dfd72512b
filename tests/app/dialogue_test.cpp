// The dialogue through pipes, as Linux text in a UTF-8 locale.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/main_routine.h"
#include "app/prime_search.h"
#include "platform/posix/testing/memory_display.h"
#include "tests/support/child_process.h"
#include "tests/support/summaries.h"

namespace {

using testing_support::Summaries;

testing_support::ChildResult Dialogue(const std::string& answers) {
  return testing_support::RunInChild(
      [] {
        setenv("LC_ALL", "C.UTF-8", 1);
        win::stand_in::UseMemoryDisplay();
        rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
      },
      answers);
}

TEST(Dialogue, SummariesOfTheKnownSearches) {
  auto r = Dialogue("1\n3\n10\n100\n1646\n-5\n$10\n  7  junk\n\n0\n");
  EXPECT_EQ(r.exitCode, 0);
  std::vector<std::string> expected = {"LastP=2 NumPtot=1 NumOP=1",
                                       "LastP=5 NumPtot=3 NumOP=6",
                                       "LastP=29 NumPtot=10 NumOP=94",
                                       "LastP=541 NumPtot=100 NumOP=8141",
                                       "LastP=13921 NumPtot=1646 NumOP=1088138",
                                       "LastP=-1 NumPtot=0 NumOP=0",
                                       "LastP=53 NumPtot=16 NumOP=237",
                                       "LastP=17 NumPtot=7 NumOP=41",
                                       "LastP=-1 NumPtot=0 NumOP=0"};
  EXPECT_EQ(Summaries(r.out), expected);
  // The prompt, then a line per prime before each summary.
  EXPECT_EQ(r.out.substr(0, r.out.find("LastP=5 ")),
            "m\xC3\xB8 prime search<=1646:2 is PRIME!\nLastP=2 NumPtot=1 NumOP=1\n"
            "m\xC3\xB8 prime search<=1646:2 is PRIME!\n3 is PRIME!\n5 is PRIME!\n");
}

TEST(Dialogue, AnInvalidAnswerIsRunTimeError106AndEndOfInputReadsZero) {
  for (const char* answer : {"abc\n", "12x\n", "2147483648\n"}) {
    auto r = Dialogue(answer);
    EXPECT_EQ(r.exitCode, 106) << answer;
    EXPECT_NE(r.out.find("Runtime error 106 at $"), std::string::npos) << answer;
  }
  auto r = Dialogue("");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(Summaries(r.out), std::vector<std::string>{"LastP=-1 NumPtot=0 NumOP=0"});
}

TEST(PrimeTable, KeepsEntriesOfEarlierSearchesAndIsNeverWrittenOutside) {
  auto r = testing_support::RunInChild(
      [] {
        rtl::ProcessEntry(app::ProgramModules, [] {
          rtl::InitializeUnits();
          app::PrimeSearchDialogue();
          // 2000 primes reach 17389, past the table's end; then 10: entries past
          // 29 keep the first search's counts. The variables beside the table are intact.
          bool ok = app::NP[29] == 10 && app::NP[541] == 100 && app::NP[15923] == 1857 && app::NP[30] == 0 &&
                    app::NP[0] == 0 && app::NP[1] == 0 && app::NP[2] == 1 && app::LASTP == -1 && app::NUMP == 0;
          rtl::Halt(ok ? 0 : 1);
        });
      },
      "2000\n10\n0\n", 120);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("LastP=17389 NumPtot=2000"), std::string::npos);
}

}  // namespace
