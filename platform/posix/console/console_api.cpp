// The console operations over the screen-buffer model, following the Windows
// documentation: cell writes run along rows and stop at the buffer's end, a
// scroll reads its source before it writes and changes nothing outside its clip.
#include "platform/posix/console/console_api.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/posix/console/console_calls.h"
#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/kernel/host_hooks.h"
#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

using Guard = ConsoleGuard;

ScreenBuffer* OutputConsole(HANDLE h) {
  ScreenBuffer* c = ConsoleInUse();
  // What a console serves is fixed when its host is chosen.
  if (c && h == c->servedHandle.load(std::memory_order_relaxed)) return c;
  int stream = StdStreamOfHandle(h);
  bool served =
      c && ((stream == StdOutputStream && c->host.servesOutput) || (stream == StdErrorStream && c->host.servesError) ||
            (h == ConsoleScreenHandle() && c->host.showsScreen));
  if (!served) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  c->servedHandle.store(h, std::memory_order_relaxed);
  return c;
}

ScreenBuffer* InputConsole(HANDLE h) {
  ScreenBuffer* c = ConsoleInUse();
  if (!c || StdStreamOfHandle(h) != StdInputStream || !c->host.servesInput) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return c;
}

void Changed(ScreenBuffer& c, int left, int top, int right, int bottom) {
  c.CellsChanged(left, top, right, bottom);
}

}  // namespace
}  // namespace win::stand_in

namespace win {
using namespace stand_in;

BOOL WINAPI GetConsoleScreenBufferInfo(HANDLE hConsoleOutput, CONSOLE_SCREEN_BUFFER_INFO* info) {
  ScreenBuffer* c = OutputConsole(hConsoleOutput);
  if (!c || !info) return FALSE;
  Guard guard(c->lock);
  if (c->host.followSize) {
    c->TellChanges();
    c->host.followSize();
  }
  NoteConsoleCall(ConsoleCall::ScreenBufferInfo);
  info->dwSize = {c->width, c->height};
  info->dwCursorPosition = c->cursor;
  info->wAttributes = c->attributes;
  info->srWindow = c->window;
  info->dwMaximumWindowSize = {static_cast<SHORT>(c->window.Right - c->window.Left + 1),
                               static_cast<SHORT>(c->window.Bottom - c->window.Top + 1)};
  return TRUE;
}

BOOL WINAPI GetConsoleCursorInfo(HANDLE hConsoleOutput, CONSOLE_CURSOR_INFO* info) {
  ScreenBuffer* c = OutputConsole(hConsoleOutput);
  if (!c || !info) return FALSE;
  Guard guard(c->lock);
  *info = c->cursorInfo;
  return TRUE;
}

BOOL WINAPI SetConsoleCursorPosition(HANDLE hConsoleOutput, COORD position) {
  ScreenBuffer* c = OutputConsole(hConsoleOutput);
  if (!c) return FALSE;
  Guard guard(c->lock);
  NoteConsoleCall(ConsoleCall::SetCursor);
  if (position.X < 0 || position.Y < 0 || position.X >= c->width || position.Y >= c->height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  c->cursor = position;
  c->Present();
  return TRUE;
}

// Along the row from the start cell, wrapping to the next row, up to the end of the buffer.
template <typename Store>
static DWORD WriteAlongRows(ScreenBuffer& c, DWORD length, COORD start, Store store) {
  if (start.X < 0 || start.Y < 0 || start.X >= c.width || start.Y >= c.height) return 0;
  if (length <= static_cast<DWORD>(c.width - start.X)) {  // within the row, as a run of output is
    Cell* row = c.Row(start.Y) + start.X;
    for (DWORD i = 0; i < length; ++i) store(row[i], i);
    if (length > 0) Changed(c, start.X, start.Y, start.X + static_cast<int>(length) - 1, start.Y);
    return length;
  }
  DWORD done = 0;
  int x = start.X, y = start.Y;
  for (; done < length && y < c.height; x = 0, ++y) {
    Cell* row = c.Row(y);
    DWORD n = std::min<DWORD>(length - done, static_cast<DWORD>(c.width - x));
    for (DWORD i = 0; i < n; ++i) store(row[x + i], done + i);
    done += n;
  }
  if (done > 0) {
    size_t last = static_cast<size_t>(start.Y) * c.width + start.X + done - 1;
    int top = start.Y, bottom = static_cast<int>(last / c.width);
    if (top == bottom)
      Changed(c, start.X, top, static_cast<int>(last % c.width), top);
    else
      Changed(c, 0, top, c.width - 1, bottom);
  }
  return done;
}

BOOL WINAPI WriteConsoleOutputCharacterA(HANDLE hConsoleOutput, LPCSTR characters, DWORD nLength, COORD at,
                                         LPDWORD written) {
  ScreenBuffer* c = OutputConsole(hConsoleOutput);
  if (!c) return FALSE;
  Guard guard(c->lock);
  NoteConsoleCall(ConsoleCall::WriteCharacter);
  UINT codePage = GetConsoleOutputCP();
  DWORD n = WriteAlongRows(*c, nLength, at, [&](Cell& cell, DWORD i) {
    cell.character = characters[i];
    cell.codePage = codePage;
  });
  if (written) *written = n;
  return TRUE;
}

BOOL WINAPI WriteConsoleOutputAttribute(HANDLE hConsoleOutput, const WORD* attributes, DWORD nLength, COORD at,
                                        LPDWORD written) {
  ScreenBuffer* c = OutputConsole(hConsoleOutput);
  if (!c) return FALSE;
  Guard guard(c->lock);
  NoteConsoleCall(ConsoleCall::WriteAttribute);
  DWORD n = WriteAlongRows(*c, nLength, at, [&](Cell& cell, DWORD i) { cell.attributes = attributes[i]; });
  if (written) *written = n;
  return TRUE;
}

// A scroll in the general case: rows move one by one, then the fill.
static void MoveAndFill(ScreenBuffer& c, const SMALL_RECT& source, const SMALL_RECT& limit, int dx, int dy,
                        const Cell& blank) {
  // Each source row lands on its target row, cut to the clip and the buffer;
  // rows are taken in the order that reads every row before it is overwritten.
  SMALL_RECT moved{static_cast<SHORT>(std::max<int>(source.Left + dx, limit.Left)),
                   static_cast<SHORT>(std::max<int>(source.Top + dy, limit.Top)),
                   static_cast<SHORT>(std::min<int>(source.Right + dx, limit.Right)),
                   static_cast<SHORT>(std::min<int>(source.Bottom + dy, limit.Bottom))};
  if (moved.Left <= moved.Right && moved.Top <= moved.Bottom) {
    size_t count = static_cast<size_t>(moved.Right - moved.Left + 1);
    auto moveRow = [&](int ty) {
      std::memmove(&c.At(moved.Left, ty), &c.At(moved.Left - dx, ty - dy), count * sizeof(Cell));
    };
    if (dy <= 0)
      for (int ty = moved.Top; ty <= moved.Bottom; ++ty) moveRow(ty);
    else
      for (int ty = moved.Bottom; ty >= moved.Top; --ty) moveRow(ty);
  }
  // What the move left of the source, within the clip, takes the fill.
  int fillLeft = std::max(source.Left, limit.Left), fillRight = std::min(source.Right, limit.Right);
  for (int y = std::max(source.Top, limit.Top); y <= std::min(source.Bottom, limit.Bottom) && fillLeft <= fillRight;
       ++y) {
    bool rowMoved = y >= moved.Top && y <= moved.Bottom && moved.Left <= moved.Right;
    if (!rowMoved) {
      std::fill(&c.At(fillLeft, y), &c.At(fillRight, y) + 1, blank);
      continue;
    }
    for (int x = fillLeft; x <= std::min<int>(fillRight, moved.Left - 1); ++x) c.At(x, y) = blank;
    for (int x = std::max<int>(fillLeft, moved.Right + 1); x <= fillRight; ++x) c.At(x, y) = blank;
  }
}

BOOL WINAPI ScrollConsoleScreenBufferA(HANDLE hConsoleOutput, const SMALL_RECT* scroll, const SMALL_RECT* clip,
                                       COORD destination, const CHAR_INFO* fill) {
  ScreenBuffer* c = OutputConsole(hConsoleOutput);
  if (!c || !scroll || !fill) return FALSE;
  Guard guard(c->lock);
  NoteConsoleCall(ConsoleCall::Scroll);
  SMALL_RECT bufferRect{0, 0, static_cast<SHORT>(c->width - 1), static_cast<SHORT>(c->height - 1)};
  SMALL_RECT source{std::max(scroll->Left, bufferRect.Left), std::max(scroll->Top, bufferRect.Top),
                    std::min(scroll->Right, bufferRect.Right), std::min(scroll->Bottom, bufferRect.Bottom)};
  SMALL_RECT limit = bufferRect;
  if (clip)
    limit = {std::max(clip->Left, bufferRect.Left), std::max(clip->Top, bufferRect.Top),
             std::min(clip->Right, bufferRect.Right), std::min(clip->Bottom, bufferRect.Bottom)};
  if (source.Left > source.Right || source.Top > source.Bottom) return FALSE;
  int dx = destination.X - scroll->Left, dy = destination.Y - scroll->Top;
  const Cell blank{fill->Char.AsciiChar, fill->Attributes, GetConsoleOutputCP()};
  bool wholeBuffer = limit.Left == bufferRect.Left && limit.Top == bufferRect.Top && limit.Right == bufferRect.Right &&
                     limit.Bottom == bufferRect.Bottom;
  if (wholeBuffer && dx == 0 && dy < 0 && -dy < c->height && source.Left == 0 && source.Right == c->width - 1 &&
      source.Bottom == c->height - 1 && source.Top + dy <= 0 && source.Top <= c->height + dy)
    // Every row moves up by -dy and the rows left below take the fill: the ring turns.
    c->TurnUp(-dy, blank);
  else
    MoveAndFill(*c, source, limit, dx, dy, blank);
  bool wholeRowsUp = dx == 0 && dy < 0 && source.Left == 0 && source.Right == c->width - 1 && limit.Left == 0 &&
                     limit.Right == c->width - 1 && limit.Top == source.Top + dy && limit.Bottom == source.Bottom;
  if (wholeRowsUp && c->host.scrolledUp)
    c->ScrolledUp(limit.Top, limit.Bottom, -dy);
  else
    Changed(*c, limit.Left, limit.Top, limit.Right, limit.Bottom);
  return TRUE;
}

BOOL WINAPI GetNumberOfConsoleInputEvents(HANDLE hConsoleInput, LPDWORD count) {
  ScreenBuffer* c = InputConsole(hConsoleInput);
  if (!c || !count) return FALSE;
  if (c->host.pollInput) c->host.pollInput(false);
  Guard guard(c->lock);
  NoteConsoleCall(ConsoleCall::InputEventCount);
  *count = static_cast<DWORD>(c->input.size());
  return TRUE;
}

BOOL WINAPI ReadConsoleInputA(HANDLE hConsoleInput, PINPUT_RECORD buffer, DWORD length, LPDWORD read) {
  ScreenBuffer* c = InputConsole(hConsoleInput);
  if (!c || !buffer || !read) return FALSE;
  for (;;) {
    {
      Guard guard(c->lock);
      if (!c->input.empty()) {
        NoteConsoleCall(ConsoleCall::ReadInput);
        DWORD n = 0;
        while (n < length && !c->input.empty()) {
          buffer[n++] = c->input.front();
          c->input.pop_front();
        }
        *read = n;
        return TRUE;
      }
    }
    if (!c->host.pollInput) return FALSE;
    c->host.pollInput(true);
  }
}

}  // namespace win
