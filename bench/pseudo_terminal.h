// A pseudo-terminal of a given size whose screen side is read as fast as it is written.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

struct PseudoTerminal {
  int master = -1, slave = -1;
  std::atomic<bool> stop{false};
  std::atomic<long> received{0};
  std::thread reader;

  PseudoTerminal(int columns, int rows) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) std::abort();
    slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    winsize size{static_cast<unsigned short>(rows), static_cast<unsigned short>(columns), 0, 0};
    ioctl(slave, TIOCSWINSZ, &size);
    termios mode;
    tcgetattr(slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(slave, TCSANOW, &mode);
    reader = std::thread([this] {
      char buffer[65536];
      while (!stop) {
        pollfd ready{master, POLLIN, 0};
        if (poll(&ready, 1, 20) == 1) {
          ssize_t n = read(master, buffer, sizeof buffer);
          if (n > 0) received += n;
        }
      }
    });
  }
  ~PseudoTerminal() {
    stop = true;
    reader.join();
    close(slave);
    close(master);
  }
};
