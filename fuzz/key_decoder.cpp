// The terminal host's key decoder over arbitrary tty bytes, fed in arbitrary
// pieces: every event is a well-formed key event, each key-down is followed by
// its key-up, and the same bytes give the same keys however they are split.
#include "platform/posix/console/key_decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace stand_in = win::stand_in;

namespace {

std::vector<win::INPUT_RECORD> Decode(const uint8_t* bytes, size_t size, size_t piece) {
  stand_in::KeyDecoder decoder;
  std::vector<win::INPUT_RECORD> events;
  for (size_t at = 0; at < size; at += piece)
    stand_in::DecodeKeyBytes(decoder, bytes + at, size - at < piece ? size - at : piece, events);
  stand_in::EndKeyBytes(decoder, events);
  if (stand_in::KeyDecoderWaiting(decoder)) std::abort();
  return events;
}

bool SameKey(const win::KEY_EVENT_RECORD& a, const win::KEY_EVENT_RECORD& b) {
  return a.bKeyDown == b.bKeyDown && a.wVirtualKeyCode == b.wVirtualKeyCode &&
         a.wVirtualScanCode == b.wVirtualScanCode && a.uChar.AsciiChar == b.uChar.AsciiChar &&
         a.dwControlKeyState == b.dwControlKeyState;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t piece = 1 + data[0] % 16;
  std::vector<win::INPUT_RECORD> whole = Decode(data + 1, size - 1, size);
  std::vector<win::INPUT_RECORD> pieces = Decode(data + 1, size - 1, piece);
  if (whole.size() % 2 != 0 || whole.size() > 2 * size) std::abort();
  for (size_t i = 0; i < whole.size(); ++i) {
    const win::KEY_EVENT_RECORD& key = whole[i].Event.KeyEvent;
    if (whole[i].EventType != KEY_EVENT || key.wRepeatCount != 1 || (key.bKeyDown != 0) != (i % 2 == 0)) std::abort();
    if (i % 2 == 1 && key.wVirtualKeyCode != whole[i - 1].Event.KeyEvent.wVirtualKeyCode) std::abort();
  }
  // A split inside an Esc sequence may only change where a lone Esc is seen;
  // with no Esc in the input the keys must be identical.
  bool hasEscape = false;
  for (size_t i = 1; i < size; ++i) hasEscape |= data[i] == 0x1B;
  if (!hasEscape) {
    if (whole.size() != pieces.size()) std::abort();
    for (size_t i = 0; i < whole.size(); ++i)
      if (!SameKey(whole[i].Event.KeyEvent, pieces[i].Event.KeyEvent)) std::abort();
  }
  return 0;
}
