// Keys typed on a terminal, read on a thread of their own: the bytes are
// decoded as they come and the key events wait in memory until the program's
// thread takes them, so a poll for keys makes no system call.
#pragma once

#include <chrono>
#include <deque>
#include <string>

#include "platform/posix/console/key_decoder.h"
#include "platform/posix/win_types.h"

namespace win::stand_in {

// Reads fd from now on, after decoding `typed`, bytes already read from it.
// `earlyBytes` were typed before raw mode: their line feeds are Enter. A lone
// Esc becomes a key once nothing follows it within `escapeWait`.
void StartKeyReader(int fd, const KeyDecoder& decoder, std::chrono::milliseconds escapeWait, int earlyBytes,
                    std::string typed);
// Ends the reader, if one runs: its thread is gone when this returns.
void StopKeyReader();

// Key events, the end of the input or a read refused in the background wait
// for the program's thread. One load: the check of every poll.
bool KeyReaderNews();
// Waits up to `limit` for news.
void WaitForKeyReaderNews(std::chrono::milliseconds limit);
// Moves the key events read so far to the end of `queue`.
void TakeKeyEvents(std::deque<INPUT_RECORD>& queue);
// The terminal's input has ended: it was hung up.
bool KeyInputEnded();
// The reader was refused a read because the process is in the background, and
// it still is; true once per refusal.
bool TakeBackgroundRead();

// While the program's thread takes the terminal back after a continue, nothing
// is read: bytes typed in the user's mode are counted by SetEarlyKeyBytes.
void HoldKeyReads();
void SetEarlyKeyBytes(int earlyBytes);
void ResumeKeyReads();

}  // namespace win::stand_in
