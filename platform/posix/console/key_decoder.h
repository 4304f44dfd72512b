// Bytes typed on a terminal into console key events: a key-down event and its
// key-up event per key, with the virtual key, the US-layout scan code, the
// character in code page 1252 and the control key state. The decoder keeps the
// start of a key that later bytes may finish; its state is bounded whatever it
// is fed, and sequences it does not know are dropped whole. What the terminal
// reports rather than types (mouse reports, focus changes, paste markers,
// OSC, DCS, APC, PM and SOS strings) is never a key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/win_types.h"

namespace win::stand_in {

enum class KeyStage : uint8_t { Ground, Escape, Csi, Ss3, LinuxFunction, Utf8, MouseX10, Report };

// A key string of the terminal's own description and the terminfo name of its key.
struct EntryKey {
  std::string bytes;
  std::string capability;
};

struct KeyDecoder {
  // An 8-bit locale's characters 0x80 to 0xFF as code points; null: UTF-8.
  const uint32_t* eightBit = nullptr;
  // Taken before the common forms; null or empty: only the common forms.
  const std::vector<EntryKey>* entryKeys = nullptr;
  KeyStage stage = KeyStage::Ground;
  bool alt = false;       // an Esc came before the key
  bool overlong = false;  // the sequence's parameters did not fit; it is dropped at its end
  uint8_t parameterLength = 0;
  char parameters[16] = {};
  uint8_t utf8Missing = 0;
  uint8_t utf8Length = 0;
  uint32_t codePoint = 0;
  uint8_t mouseBytesLeft = 0;
  char reportKind = 0;     // ']' 'P' '_' '^' 'X': the string's introducer
  bool reportEsc = false;  // an Esc inside the string, perhaps the start of its terminator
  bool reportBody = false;
};

void DecodeKeyBytes(KeyDecoder& decoder, const unsigned char* bytes, size_t count, std::vector<INPUT_RECORD>& events);
// The decoder holds the start of a key that more bytes may finish.
bool KeyDecoderWaiting(const KeyDecoder& decoder);
// No more bytes came in time: a lone Esc is the Esc key (an Esc before Esc is
// Alt+Esc), an Esc before '[' or 'O' or before a string introducer with no
// string after it is Alt with that key, anything else is dropped.
void EndKeyBytes(KeyDecoder& decoder, std::vector<INPUT_RECORD>& events);

}  // namespace win::stand_in
