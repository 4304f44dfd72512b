#include "platform/posix/testing/sleep_observer.h"

#include "platform/posix/kernel/handle_object.h"

namespace win::stand_in {

void SetSleepObserver(void (*observer)()) {
  SleepObserver = observer;
}

}  // namespace win::stand_in
