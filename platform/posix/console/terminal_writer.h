// The bytes on their way to the terminal. A write per console call is slow when
// the program writes many short lines, so bytes are written at once only when
// the last write is at least WriteInterval old; otherwise they wait for the
// flusher thread, for a read that blocks, or for the way out.
#pragma once

#include <cstddef>
#include <string>

namespace win::stand_in {

void SetTerminalOutput(int fd);  // -1: none
int TerminalOutput();
void Deliver(const std::string& bytes);
void FlushNow();
// The terminal's set-up is written at once and starts no interval: the
// program's first output (its prompt, as a rule) follows without waiting.
void FlushSetUp();
void StartFlusher();
int WritesSoFar();

// Async-signal-safe: the waiting bytes (when `pendingFirst`), then `bytes`, once
// a write in progress on another thread has ended.
void WriteOnTheWayOut(const char* bytes, size_t count, bool pendingFirst);
void WriteAll(int fd, const char* bytes, size_t count);

}  // namespace win::stand_in
