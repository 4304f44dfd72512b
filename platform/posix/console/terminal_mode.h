// The tty's mode: the user's, saved at start and put back on every way out and
// every stop; raw while the program runs.
#pragma once

namespace win::stand_in {

// Saves the terminal's mode (the first time) and sets raw mode. Returns how
// many typed bytes were already waiting, which the previous mode may have
// translated (Enter as a line feed).
int SetRawMode(int fd);
// Output on a terminal whose keys the program does not read (its input is a
// file or a pipe): keys typed there stay queued for whatever reads the terminal
// next, without an echo that would move the program's text. Saves the mode as
// SetRawMode does.
void SetQuietMode(int fd);
// Async-signal-safe.
void RestoreMode();
bool InForeground(int fd);

// Window size changes and stops. `putBack` runs (async-signal-safe) before the
// process stops; after it continues TakeContinued() tells the host to set its
// mode and repaint.
void WatchTerminalSignals(void (*putBack)());
bool TakeSizeChange();
bool TakeContinued();
// Without taking them: one load each.
bool ContinuePending();
bool TerminalChangePending();

}  // namespace win::stand_in
