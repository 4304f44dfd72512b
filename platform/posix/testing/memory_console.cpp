// The memory host: a console that tests fill with keys and read back.
#include "platform/posix/testing/memory_console.h"

#include <unistd.h>

#include <cctype>
#include <deque>
#include <string>

#include "platform/posix/console/console_calls.h"
#include "platform/posix/console/console_start.h"
#include "platform/posix/console/screen_buffer.h"
#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/testing/sleep_observer.h"

namespace win::stand_in {
namespace {

std::deque<std::function<void()>> laterBatches;
ConsoleCallCounts counts;  // written under the console's lock
thread_local bool lastPollFoundNothing = false;

// The program waits for a key (it blocks on an empty queue, or sleeps right
// after finding it empty): the next batch arrives, or, with none left, the
// program ends rather than hang the test.
void ProgramWaits() {
  lastPollFoundNothing = false;
  if (laterBatches.empty()) {
    static const char message[] = "memory console: input exhausted\n";
    if (write(2, message, sizeof message - 1) < 0) {
    }
    ExitProcess(98);
  }
  std::function<void()> action = std::move(laterBatches.front());
  laterBatches.pop_front();
  action();
}

void PollInput(bool wait) {
  if (wait) return ProgramWaits();
  ConsoleGuard guard(ActiveConsole()->lock);
  lastPollFoundNothing = ActiveConsole()->input.empty();
}

void SleepingAfterPoll() {
  if (lastPollFoundNothing) ProgramWaits();
}

ScreenBuffer& Console() {
  return *ActiveConsole();
}

constexpr char Esc = 0x1B;

struct UsKey {
  WORD virtualKey;
  WORD scanCode;
  bool shift;
};

// Virtual keys and set-1 scan codes of the US layout.
UsKey KeyOf(char c) {
  static const char* const rows[] = {"1234567890-=", "qwertyuiop[]", "asdfghjkl;'", "zxcvbnm,./"};
  static const char* const shifted[] = {"!@#$%^&*()_+", "QWERTYUIOP{}", "ASDFGHJKL:\"", "ZXCVBNM<>?"};
  static const WORD firstScan[] = {2, 16, 30, 44};
  if (c == ' ') return {VK_SPACE, 57, false};
  if (c == '\r' || c == '\n') return {VK_RETURN, 28, false};
  if (c == '\t') return {VK_TAB, 15, false};
  if (c == '\b') return {VK_BACK, 14, false};
  if (c == Esc) return {VK_ESCAPE, 1, false};
  if (c == '`') return {VK_OEM_3, 41, false};
  if (c == '~') return {VK_OEM_3, 41, true};
  if (c == '\\') return {VK_OEM_5, 43, false};
  if (c == '|') return {VK_OEM_5, 43, true};
  for (int r = 0; r < 4; ++r)
    for (int i = 0; rows[r][i]; ++i)
      if (rows[r][i] == c || shifted[r][i] == c) {
        char base = rows[r][i];
        WORD vk = std::isalnum(static_cast<unsigned char>(base)) ? static_cast<WORD>(std::toupper(base)) : VK_OEM_1;
        return {vk, static_cast<WORD>(firstScan[r] + i), shifted[r][i] == c};
      }
  return {0, 0, false};
}

void Count(ConsoleCall call) {
  switch (call) {
    case ConsoleCall::WriteCharacter:
      ++counts.writeCharacter;
      break;
    case ConsoleCall::WriteAttribute:
      ++counts.writeAttribute;
      break;
    case ConsoleCall::Scroll:
      ++counts.scroll;
      break;
    case ConsoleCall::SetCursor:
      ++counts.setCursor;
      break;
    case ConsoleCall::ScreenBufferInfo:
      ++counts.screenBufferInfo;
      break;
    case ConsoleCall::ReadInput:
      ++counts.readInput;
      break;
    case ConsoleCall::InputEventCount:
      ++counts.inputEventCount;
      break;
  }
}

}  // namespace

void UseMemoryConsole(const MemoryConsoleSetup& setup) {
  ConsoleHost host;
  host.pollInput = PollInput;
  StartConsole();
  SetSleepObserver(SleepingAfterPoll);
  SelectConsoleHost(host, setup.width, setup.height);
  counts = {};
  ObserveConsoleCalls(Count);
  ScreenBuffer& c = Console();
  c.attributes = setup.attributes;
  for (Cell& cell : c.cells) cell.attributes = setup.attributes;
  c.window = setup.window;
  c.cursor = setup.cursor;
}

void PushInput(const INPUT_RECORD& record) {
  ConsoleGuard guard(Console().lock);
  Console().input.push_back(record);
}

void PushKey(WORD virtualKey, WORD scanCode, char character, DWORD controlKeyState) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  key.bKeyDown = TRUE;
  key.wRepeatCount = 1;
  key.wVirtualKeyCode = virtualKey;
  key.wVirtualScanCode = scanCode;
  key.uChar.AsciiChar = character;
  key.dwControlKeyState = controlKeyState;
  PushInput(record);
  key.bKeyDown = FALSE;
  PushInput(record);
}

void PushText(const std::string& text) {
  for (char c : text) {
    UsKey key = KeyOf(c);
    PushKey(key.virtualKey, key.scanCode, c == '\n' ? '\r' : c, key.shift ? SHIFT_PRESSED : 0);
  }
}

void TypeWhenWaiting(const std::string& text) {
  laterBatches.push_back([text] { PushText(text); });
}

void WhenWaiting(std::function<void()> action) {
  laterBatches.push_back(std::move(action));
}

int PendingInputEvents() {
  ConsoleGuard guard(Console().lock);
  return static_cast<int>(Console().input.size());
}

ConsoleCell CellAt(SHORT x, SHORT y) {
  Cell& cell = Console().At(x, y);
  return {cell.character, cell.attributes};
}

std::string RowText(SHORT y) {
  std::string row;
  for (int x = 0; x < Console().width; ++x) row += Console().At(x, y).character;
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

COORD CursorAt() {
  return Console().cursor;
}
UINT OutputCodePage() {
  return GetConsoleOutputCP();
}
ConsoleCallCounts CallCounts() {
  return counts;
}
void ResetCallCounts() {
  counts = {};
}

}  // namespace win::stand_in
