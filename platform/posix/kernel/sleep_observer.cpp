// Setting the Sleep observer, apart from Sleep itself: only the memory console
// of the tests sets one, so a program without it links none of this.
#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/kernel/host_hooks.h"

namespace win::stand_in {

void SetSleepObserver(void (*observer)()) {
  SleepObserver = observer;
}

}  // namespace win::stand_in
