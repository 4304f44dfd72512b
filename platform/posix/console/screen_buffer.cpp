#include "platform/posix/console/screen_buffer.h"

#include <algorithm>
#include <memory>

#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {

namespace {
std::unique_ptr<ScreenBuffer> console;
bool hostChosen = false;
bool (*offeredHost)() = nullptr;
}  // namespace

void ScreenBuffer::Reset(SHORT w, SHORT h) {
  width = w;
  height = h;
  cells.assign(static_cast<size_t>(w) * h, Cell{' ', attributes, 437});
  firstRow = 0;
  window = {0, 0, static_cast<SHORT>(w - 1), static_cast<SHORT>(h - 1)};
  cursor = {0, 0};
}

void ScreenBuffer::TurnUp(int lines, const Cell& blank) {
  firstRow = static_cast<int>(StoredRow(lines));
  for (int y = height - lines; y < height; ++y) std::fill(Row(y), Row(y) + width, blank);
}

void ScreenBuffer::ChangedOnAnotherRow(int left, int top, int right, int bottom) {
  if (!host.cellsChanged) return;
  TellChanges();
  if (top != bottom) return host.cellsChanged(left, top, right, bottom);
  changedRow = top;
  changedLeft = left;
  changedRight = right;
}

void ScreenBuffer::TellChanges() {
  if (changedRow < 0) return;
  int row = changedRow;
  changedRow = -1;
  host.cellsChanged(changedLeft, row, changedRight, row);
}

void ScreenBuffer::Present() {
  TellChanges();
  if (host.present) host.present();
}

void ScreenBuffer::ScrolledUp(int top, int bottom, int lines) {
  TellChanges();
  if (host.scrolledUp) host.scrolledUp(top, bottom, lines);
}

void SelectConsoleHost(const ConsoleHost& host, SHORT width, SHORT height) {
  console = std::make_unique<ScreenBuffer>();
  console->host = host;
  console->Reset(width, height);
  hostChosen = true;
  offeredHost = nullptr;
}

ScreenBuffer* ActiveConsole() {
  return console.get();
}

void OfferConsoleHost(bool (*start)()) {
  if (!hostChosen) offeredHost = start;
}

ScreenBuffer* ConsoleInUse() {
  if (offeredHost) {
    bool (*start)() = offeredHost;
    offeredHost = nullptr;
    hostChosen = true;
    start();
  }
  return console.get();
}

void ResizeBuffer(ScreenBuffer& c, SHORT w, SHORT h, int firstRow) {
  std::vector<Cell> cells(static_cast<size_t>(w) * h, Cell{' ', c.attributes, 437});
  for (int y = 0; y < h && y + firstRow < c.height; ++y)
    for (int x = 0; x < w && x < c.width; ++x) cells[static_cast<size_t>(y) * w + x] = c.At(x, y + firstRow);
  c.TellChanges();
  c.cells.swap(cells);
  c.firstRow = 0;
  c.width = w;
  c.height = h;
  c.window = {0, 0, static_cast<SHORT>(w - 1), static_cast<SHORT>(h - 1)};
  c.cursor = {std::min<SHORT>(c.cursor.X, static_cast<SHORT>(w - 1)),
              static_cast<SHORT>(std::clamp(c.cursor.Y - firstRow, 0, h - 1))};
}

void ScrollBufferUp(ScreenBuffer& c) {
  c.TurnUp(1, Cell{' ', c.attributes, 437});
  c.ScrolledUp(0, c.height - 1, 1);
}

void WriteAtCursor(ScreenBuffer& c, const char* bytes, DWORD count) {
  UINT codePage = GetConsoleOutputCP();
  for (DWORD i = 0; i < count; ++i) {
    char ch = bytes[i];
    switch (ch) {
      case '\r':
        c.cursor.X = 0;
        continue;
      case '\n':
        c.cursor.X = 0;
        ++c.cursor.Y;
        break;
      case '\b':
        if (c.cursor.X > 0) --c.cursor.X;
        continue;
      case '\a':
        continue;
      case '\t':
        do {
          c.At(c.cursor.X, c.cursor.Y) = Cell{' ', c.attributes, codePage};
          c.CellsChanged(c.cursor.X, c.cursor.Y, c.cursor.X, c.cursor.Y);
          ++c.cursor.X;
        } while (c.cursor.X % 8 != 0 && c.cursor.X < c.width);
        break;
      default:
        c.At(c.cursor.X, c.cursor.Y) = Cell{ch, c.attributes, codePage};
        c.CellsChanged(c.cursor.X, c.cursor.Y, c.cursor.X, c.cursor.Y);
        ++c.cursor.X;
    }
    if (c.cursor.X >= c.width) {
      c.cursor.X = 0;
      ++c.cursor.Y;
    }
    if (c.cursor.Y >= c.height) {
      ScrollBufferUp(c);
      c.cursor.Y = static_cast<SHORT>(c.height - 1);
    }
  }
  c.TellChanges();
}

}  // namespace win::stand_in
