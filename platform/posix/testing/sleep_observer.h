// Called at every Sleep, on the sleeping thread: the memory console uses it to
// end a test program that waits for keys no test will send.
#pragma once

namespace win::stand_in {

void SetSleepObserver(void (*observer)());

}  // namespace win::stand_in
