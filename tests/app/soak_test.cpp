// A thousand dialogue rounds with random answers, some searches interrupted by
// a key, every summary checked against an independent count, and the memory
// the program holds flat across the rounds.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "app/main_routine.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/testing/memory_console.h"
#include "platform/posix/testing/memory_display.h"
#include "tests/support/child_process.h"

namespace {

namespace mem = win::stand_in;

std::vector<int> FirstPrimes(int count) {
  std::vector<int> primes;
  for (int n = 2; static_cast<int>(primes.size()) < count; ++n) {
    bool prime = true;
    for (int p : primes) {
      if (p * p > n) break;
      if (n % p == 0) prime = false;
    }
    if (prime) primes.push_back(n);
  }
  return primes;
}

struct Round {
  int answer;
  bool interrupted;  // a key typed right after the answer stops its search
};

struct Soak {
  std::vector<Round> rounds;
  std::vector<int> primes = FirstPrimes(2000);
  std::vector<std::string> numOpOf = std::vector<std::string>(2001);
  int checked = 0, mismatches = 0;
};
Soak* soak;

std::string ExpectedSummaryStart(const Round& round) {
  if (round.answer <= 0) return "LastP=-1 NumPtot=0 NumOP=0";
  if (round.interrupted) return "LastP=2 NumPtot=1 NumOP=1";
  return "LastP=" + std::to_string(soak->primes[round.answer - 1]) + " NumPtot=" + std::to_string(round.answer) +
         " NumOP=";
}

// At the prompt of round `next`: the summary of the round before sits on the row above.
void CheckSummaryOf(size_t round) {
  std::string summary = mem::RowText(static_cast<win::SHORT>(mem::CursorAt().Y - 1));
  const Round& r = soak->rounds[round];
  std::string expected = ExpectedSummaryStart(r);
  bool ok = summary.compare(0, expected.size(), expected) == 0;
  if (ok && r.answer > 0 && !r.interrupted) {  // the same search costs the same operations
    std::string& numOp = soak->numOpOf[r.answer];
    if (numOp.empty()) numOp = summary.substr(expected.size());
    ok = numOp == summary.substr(expected.size());
  }
  ++soak->checked;
  if (!ok) ++soak->mismatches;
}

void AnswerRound(size_t round) {
  if (round > 0) CheckSummaryOf(round - 1);
  std::string keys = round > 0 && soak->rounds[round - 1].interrupted ? "\b" : "";  // erase the stopping key
  keys += std::to_string(soak->rounds[round].answer) + "\r";
  if (soak->rounds[round].interrupted) keys += "x";
  mem::PushText(keys);
}

void Report() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::string line = "rounds=" + std::to_string(soak->checked) + " mismatches=" + std::to_string(soak->mismatches) +
                     " peak_rss_kb=" + std::to_string(usage.ru_maxrss) + "\n";
  if (write(1, line.data(), line.size()) < 0) return;
}

std::string RunSoak(int count) {
  auto r = testing_support::RunInChild(
      [count] {
        soak = new Soak;
        std::mt19937 random(20261207);
        for (int i = 0; i < count; ++i) {
          int answer = static_cast<int>(random() % 2006) - 5;
          if (answer == 0) answer = 1;
          soak->rounds.push_back({answer, random() % 10 == 0});
        }
        soak->rounds.push_back({0, false});
        mem::MemoryConsoleSetup small;  // the longest summary still fits a row
        small.width = 40;
        small.height = 8;
        small.window = {0, 0, 39, 7};
        mem::UseMemoryConsole(small);
        mem::UseMemoryDisplay();
        for (size_t i = 0; i < soak->rounds.size(); ++i) mem::WhenWaiting([i] { AnswerRound(i); });
        mem::WhenWaiting([] {
          CheckSummaryOf(soak->rounds.size() - 1);
          mem::PushText("\r");  // the plot's key, which also ends its last line
        });
        mem::RegisterExitHook(Report);
        rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
      },
      "", 240);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.out;
}

long PeakOf(const std::string& report) {
  size_t at = report.find("peak_rss_kb=");
  return at == std::string::npos ? -1 : std::stol(report.substr(at + 12));
}

TEST(Soak, AThousandRoundsAllSummariesRightAndMemoryFlat) {
  std::string shortRun = RunSoak(50);
  std::string longRun = RunSoak(1000);
  std::cout << longRun;
  EXPECT_NE(shortRun.find("rounds=51 mismatches=0"), std::string::npos) << shortRun;
  EXPECT_NE(longRun.find("rounds=1001 mismatches=0"), std::string::npos) << longRun;
  ASSERT_GT(PeakOf(shortRun), 0);
  EXPECT_LT(PeakOf(longRun) - PeakOf(shortRun), 1024) << "peak memory grew with the rounds";
}

}  // namespace
