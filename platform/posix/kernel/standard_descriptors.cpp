// A standard descriptor that the process starts with closed is held open on
// /dev/null before anything else opens a descriptor, so that no file opened
// later takes its number and receives what the program means for the
// standard stream. Its handle still behaves as a closed one.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/kernel/handle_object.h"

namespace win::stand_in {
namespace {

bool closedAtStart[3] = {false, false, false};

}  // namespace

// Nothing opens a descriptor before the stand-in's start-up, which calls this first.
void HoldClosedStandardDescriptors() {
  for (int fd = 0; fd < 3; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    closedAtStart[fd] = true;
    int held = open("/dev/null", O_RDWR);  // the lowest free number: this one
    if (held > fd) {
      dup2(held, fd);
      close(held);
    }
  }
}

bool StandardStreamClosedAtStart(int stream) {
  return stream >= 0 && stream < 3 && closedAtStart[stream];
}

}  // namespace win::stand_in
