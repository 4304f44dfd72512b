// Bytes typed on a terminal into console key events: a key-down event and its
// key-up event per key, with the virtual key, the US-layout scan code, the
// character in code page 1252 and the control key state. The decoder keeps the
// start of a key that later bytes may finish; its state is bounded whatever it
// is fed, and sequences it does not know are dropped whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/posix/win_types.h"

namespace win::stand_in {

enum class KeyStage : uint8_t { Ground, Escape, Csi, Ss3, LinuxFunction, Utf8 };

struct KeyDecoder {
  KeyStage stage = KeyStage::Ground;
  bool alt = false;       // an Esc came before the key
  bool overlong = false;  // the sequence's parameters did not fit; it is dropped at its end
  uint8_t parameterLength = 0;
  char parameters[16] = {};
  uint8_t utf8Missing = 0;
  uint8_t utf8Length = 0;
  uint32_t codePoint = 0;
};

void DecodeKeyBytes(KeyDecoder& decoder, const unsigned char* bytes, size_t count, std::vector<INPUT_RECORD>& events);
// The decoder holds the start of a key that more bytes may finish.
bool KeyDecoderWaiting(const KeyDecoder& decoder);
// No more bytes came in time: a lone Esc is the Esc key (an Esc before Esc is
// Alt+Esc), an Esc before '[' or 'O' is Alt with that key, anything else is dropped.
void EndKeyBytes(KeyDecoder& decoder, std::vector<INPUT_RECORD>& events);

}  // namespace win::stand_in
