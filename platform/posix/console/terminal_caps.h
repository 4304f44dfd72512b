// What a terminal can do, read from its terminfo entry: the host draws only
// with these strings, and takes the entry's key strings as keys.
#pragma once

#include <string>
#include <vector>

namespace win::stand_in {

struct TerminalCaps {
  std::string name;
  bool addressable = false;      // has cursor addressing; otherwise output is plain lines
  bool autoWrap = false;         // am
  bool lateWrap = false;         // xenl: the cursor waits after the last column
  bool backgroundErase = false;  // bce: erasing and scrolling use the current background
  int colours = 0;               // 0: none usable, 8 or 16 and more
  bool xtermMeta = false;        // takes xterm's "meta sends Esc" private mode
  // Parameterless strings, padding removed; empty where the entry has none.
  std::string clear, clearToEnd, carriageReturn, scrollForward, resetAttributes, bold, showCursor, keypadOn, keypadOff,
      cursorQuery;
  // Parameterised strings for tiparm, padding removed.
  std::string cursorAddress, scrollRegion, scrollForwardBy, foreground, background;
  struct KeyString {
    std::string bytes;
    std::string capability;  // the terminfo name: kcuu1, kf1, kent...
  };
  std::vector<KeyString> keys;
};

// Reads the entry of $TERM (or of `term` when given); an unknown terminal gets
// the capabilities of plain line output.
TerminalCaps LoadTerminalCaps(const char* term = nullptr);

// A parameterised capability with its parameters applied.
std::string Apply(const std::string& capability, int p1, int p2 = 0);

}  // namespace win::stand_in
