// The console operations a test may count, told to an observer that only the
// tests install, so that counting costs the program a null check.
#pragma once

namespace win::stand_in {

enum class ConsoleCall {
  WriteCharacter,
  WriteAttribute,
  Scroll,
  SetCursor,
  ScreenBufferInfo,
  ReadInput,
  InputEventCount
};

using ConsoleCallObserver = void (*)(ConsoleCall call);
// Told of each call under the console's lock.
void ObserveConsoleCalls(ConsoleCallObserver observer);
void NoteConsoleCall(ConsoleCall call);

}  // namespace win::stand_in
