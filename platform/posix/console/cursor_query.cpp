#include "platform/posix/console/cursor_query.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/posix/console/terminal_writer.h"

namespace win::stand_in {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int ReplyWaitMs = 200;

// "ESC [ row ; column R" somewhere in the bytes.
bool FindCursorReply(const std::string& bytes, size_t& start, size_t& length, int& row, int& column) {
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] != '\x1b' || bytes[i + 1] != '[') continue;
    size_t j = i + 2;
    int numbers[2] = {0, 0};
    bool ok = true;
    for (int k = 0; k < 2 && ok; ++k) {
      size_t first = j;
      while (j < bytes.size() && bytes[j] >= '0' && bytes[j] <= '9' && j - first < 5)
        numbers[k] = numbers[k] * 10 + (bytes[j++] - '0');
      char expected = k == 0 ? ';' : 'R';
      ok = j > first && j < bytes.size() && bytes[j] == expected;
      ++j;
    }
    if (!ok) continue;
    start = i;
    length = j - i;
    row = numbers[0];
    column = numbers[1];
    return true;
  }
  return false;
}

bool QueryCursor(int in, int out, const std::string& request, int& row, int& column, std::string& keys) {
  WriteAll(out, request.data(), request.size());
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ReplyWaitMs);
  std::string got;
  while (got.size() < 4096) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd readable{in, POLLIN, 0};
    int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char bytes[256];
    ssize_t n = read(in, bytes, sizeof bytes);
    if (n <= 0) break;
    got.append(bytes, static_cast<size_t>(n));
    size_t start, length;
    if (FindCursorReply(got, start, length, row, column)) {
      keys = got.erase(start, length);
      return true;
    }
  }
  keys = got;
  return false;
}

}  // namespace

COORD StartCursor(int in, int out, bool servesIn, const std::string& request, int width, int height,
                  std::string& keys) {
  int row = height, column = 1;
  bool answered = false;
  if (request.empty()) {
  } else if (servesIn) {
    answered = QueryCursor(in, out, request, row, column, keys);
  } else if ((fcntl(out, F_GETFL) & O_ACCMODE) == O_RDWR) {
    termios mode, quiet;
    if (tcgetattr(out, &mode) == 0) {
      quiet = mode;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
      quiet.c_cc[VMIN] = 1;
      quiet.c_cc[VTIME] = 0;
      std::string ignored;
      if (tcsetattr(out, TCSANOW, &quiet) == 0) answered = QueryCursor(out, out, request, row, column, ignored);
      tcsetattr(out, TCSANOW, &mode);
    }
  }
  if (!answered) row = height;
  return {static_cast<SHORT>(std::clamp(column, 1, width) - 1), static_cast<SHORT>(std::clamp(row, 1, height) - 1)};
}

}  // namespace win::stand_in
