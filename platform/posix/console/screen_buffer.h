// The console's screen-buffer model that the console operations work on and
// the hosts show: cells, window, cursor, the input event queue.
#pragma once

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/kernel/short_lock.h"
#include "platform/posix/win_types.h"

namespace win::stand_in {

struct Cell {
  char character = ' ';
  WORD attributes = 0x07;
  UINT codePage = 437;  // the output code page the character was written under
};

// What a host does with the model: show changes, deliver keys.
struct ConsoleHost {
  void (*cellsChanged)(int left, int top, int right, int bottom) = nullptr;  // inclusive
  // The window scrolled up by `lines` rows between top and bottom, across its width.
  void (*scrolledUp)(int top, int bottom, int lines) = nullptr;
  void (*present)() = nullptr;             // show what changed, move the cursor
  void (*pollInput)(bool wait) = nullptr;  // move pending keys into the queue
  // Called when the program asks for the buffer's size: the host may resize it first.
  void (*followSize)() = nullptr;
  bool servesInput = true;
  bool servesOutput = true;
  bool servesError = true;
  bool showsScreen = true;  // the cells are shown (on the standard output or beside it)
};

using ConsoleGuard = std::lock_guard<RecursiveShortLock>;

struct ScreenBuffer {
  RecursiveShortLock lock;
  SHORT width = 80, height = 25;
  // Row y is stored as row (y + firstRow) % height, so that scrolling the whole
  // buffer turns the ring instead of moving its cells.
  std::vector<Cell> cells;
  int firstRow = 0;
  SMALL_RECT window{0, 0, 79, 24};
  COORD cursor{0, 0};
  WORD attributes = 0x07;
  CONSOLE_CURSOR_INFO cursorInfo{25, TRUE};
  std::deque<INPUT_RECORD> input;
  ConsoleHost host;
  std::atomic<HANDLE> servedHandle{nullptr};  // the last handle found to be this console's

  Cell* Row(int y) { return &cells[StoredRow(y) * width]; }
  const Cell* Row(int y) const { return &cells[StoredRow(y) * width]; }
  Cell& At(int x, int y) { return Row(y)[x]; }
  const Cell& At(int x, int y) const { return Row(y)[x]; }
  void Reset(SHORT w, SHORT h);
  // Rows `lines` and below become the top rows; the rows brought in at the bottom take `blank`.
  void TurnUp(int lines, const Cell& blank);

  // Cells changed (inclusive). Changes along one row gather into one, which the
  // host hears of before it next hears from the model: a run of output is
  // written one cell and two calls at a time.
  void CellsChanged(int left, int top, int right, int bottom) {
    if (top == bottom && top == changedRow) {
      changedLeft = std::min(changedLeft, left);
      changedRight = std::max(changedRight, right);
      return;
    }
    ChangedOnAnotherRow(left, top, right, bottom);
  }
  void TellChanges();
  void Present();
  void ScrolledUp(int top, int bottom, int lines);

 private:
  void ChangedOnAnotherRow(int left, int top, int right, int bottom);

  size_t StoredRow(int y) const {
    int row = y + firstRow;
    return static_cast<size_t>(row >= height ? row - height : row);
  }

  int changedRow = -1, changedLeft = 0, changedRight = -1;  // not yet told to the host
};

// The active console, or null when no host serves one.
ScreenBuffer* ActiveConsole();
void SelectConsoleHost(const ConsoleHost& host, SHORT width, SHORT height);
// The host that starts when the program first uses the console, unless one is
// selected before then (tests select theirs before the program's start-up).
void OfferConsoleHost(bool (*start)());
// The console for an operation of the program: the first one starts the offered host.
ScreenBuffer* ConsoleInUse();

// Teletype output at the cursor, as a console writes a file write.
void WriteAtCursor(ScreenBuffer& console, const char* bytes, DWORD count);
// A new size; row `firstRow` becomes the top row, the rows and columns that
// fit keep their cells, the cursor stays on its cell where that is kept.
void ResizeBuffer(ScreenBuffer& console, SHORT width, SHORT height, int firstRow);
// Scrolls the whole buffer up one row, blank row in the buffer's attributes.
void ScrollBufferUp(ScreenBuffer& console);

}  // namespace win::stand_in
