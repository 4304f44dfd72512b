#include "tests/support/fresh_process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace testing_support {

namespace {
constexpr const char* FreshCase = "PRIMES_FRESH_CASE";
}

bool InFreshProcess() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  const char* marked = getenv(FreshCase);
  if (marked && name == marked) return true;

  int output[2];
  if (pipe(output) != 0) {
    ADD_FAILURE() << "no pipe for the fresh process";
    return false;
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(output[1], 1);
    dup2(output[1], 2);
    close(output[0]);
    close(output[1]);
    setenv(FreshCase, name.c_str(), 1);
    std::string filter = "--gtest_filter=" + name;
    execl("/proc/self/exe", "fresh", filter.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(output[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(output[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
  return false;
}

}  // namespace testing_support
