// Runs a piece of the program in a child process, as the program runs: with
// its own process-wide state, its standard streams on pipes, and its exit code.
#pragma once

#include <functional>
#include <string>

namespace testing_support {

struct ChildResult {
  int exitCode = -1;  // -1 when killed by a signal (see signal)
  int signal = 0;
  std::string out;
  std::string err;
};

// Runs body in a fork; stdin receives input, then end of input. A child still
// running after timeoutSeconds is killed.
ChildResult RunInChild(const std::function<void()>& body, const std::string& input = "", int timeoutSeconds = 30);

}  // namespace testing_support
