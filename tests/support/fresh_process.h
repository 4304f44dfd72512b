// For a case about state that the program sets once per process (a display
// found not to answer, the screen metrics read at start-up): the case runs in
// a fresh process of the test program, whatever ran before it in this one.
#pragma once

namespace testing_support {

// True in the fresh process, where the case then runs. In the runner it starts
// that process, takes its result as the case's own, and returns false.
bool InFreshProcess();

}  // namespace testing_support
