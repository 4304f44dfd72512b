#include "platform/posix/console/key_decoder.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "platform/posix/kernel/code_page_text.h"

namespace win::stand_in {
namespace {

struct Key {
  WORD virtualKey;
  WORD scanCode;
  char character;
  DWORD state;
};

constexpr char Esc = 0x1B;

void Emit(std::vector<INPUT_RECORD>& events, const Key& key) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  KEY_EVENT_RECORD& event = record.Event.KeyEvent;
  event.bKeyDown = TRUE;
  event.wRepeatCount = 1;
  event.wVirtualKeyCode = key.virtualKey;
  event.wVirtualScanCode = key.scanCode;
  event.uChar.AsciiChar = key.character;
  event.dwControlKeyState = key.state;
  events.push_back(record);
  event.bKeyDown = FALSE;
  events.push_back(record);
}

// The US layout's keys of the printable characters, in scan code order per row.
constexpr char Unshifted[] = "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./";
constexpr char Shifted[] = "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>?";
constexpr uint8_t Scans[] = {41, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 16, 17, 18,
                             19, 20, 21, 22, 23, 24, 25, 26, 27, 43, 30, 31, 32, 33, 34, 35,
                             36, 37, 38, 39, 40, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53};
static_assert(sizeof Scans == sizeof Unshifted - 1 && sizeof Shifted == sizeof Unshifted);

WORD VirtualKeyOfUnshifted(char c) {
  if (std::isalnum(static_cast<unsigned char>(c)))
    return static_cast<WORD>(std::toupper(static_cast<unsigned char>(c)));
  switch (c) {
    case '`':
      return VK_OEM_3;
    case '-':
      return VK_OEM_MINUS;
    case '=':
      return VK_OEM_PLUS;
    case '[':
      return VK_OEM_4;
    case ']':
      return VK_OEM_6;
    case '\\':
      return VK_OEM_5;
    case ';':
      return VK_OEM_1;
    case '\'':
      return VK_OEM_7;
    case ',':
      return VK_OEM_COMMA;
    case '.':
      return VK_OEM_PERIOD;
    default:
      return VK_OEM_2;
  }
}

Key PrintableKey(char c) {
  if (c == ' ') return {VK_SPACE, 57, ' ', 0};
  for (size_t i = 0; i < sizeof Scans; ++i) {
    if (Unshifted[i] == c) return {VirtualKeyOfUnshifted(c), Scans[i], c, 0};
    if (Shifted[i] == c) return {VirtualKeyOfUnshifted(Unshifted[i]), Scans[i], c, SHIFT_PRESSED};
  }
  return {0, 0, c, 0};
}

// A key that a single byte stands for: printable ASCII, Enter, Backspace, Tab, Esc, Ctrl+letter.
Key KeyOfByte(unsigned char b) {
  switch (b) {
    case 0x00:
      return {VK_SPACE, 57, 0, LEFT_CTRL_PRESSED};
    case 0x08:
    case 0x7F:
      return {VK_BACK, 14, 8, 0};
    case 0x09:
      return {VK_TAB, 15, 9, 0};
    case 0x0D:
      return {VK_RETURN, 28, 13, 0};
    case 0x1B:
      return {VK_ESCAPE, 1, 27, 0};
    case 0x1C:
      return {VK_OEM_5, 43, 0x1C, LEFT_CTRL_PRESSED};
    case 0x1D:
      return {VK_OEM_6, 27, 0x1D, LEFT_CTRL_PRESSED};
    case 0x1E:
      return {'6', 7, 0x1E, LEFT_CTRL_PRESSED | SHIFT_PRESSED};
    case 0x1F:
      return {VK_OEM_MINUS, 12, 0x1F, LEFT_CTRL_PRESSED | SHIFT_PRESSED};
  }
  if (b < 0x20) {
    Key letter = PrintableKey(static_cast<char>('a' + b - 1));
    return {letter.virtualKey, letter.scanCode, static_cast<char>(b), LEFT_CTRL_PRESSED};
  }
  return PrintableKey(static_cast<char>(b));
}

constexpr Key Up{VK_UP, 72, 0, ENHANCED_KEY}, Down{VK_DOWN, 80, 0, ENHANCED_KEY}, Right{VK_RIGHT, 77, 0, ENHANCED_KEY},
    Left{VK_LEFT, 75, 0, ENHANCED_KEY}, Home{VK_HOME, 71, 0, ENHANCED_KEY}, End{VK_END, 79, 0, ENHANCED_KEY},
    Insert{VK_INSERT, 82, 0, ENHANCED_KEY}, Delete{VK_DELETE, 83, 0, ENHANCED_KEY},
    PageUp{VK_PRIOR, 73, 0, ENHANCED_KEY}, PageDown{VK_NEXT, 81, 0, ENHANCED_KEY}, Clear{VK_CLEAR, 76, 0, 0},
    NoKey{0, 0, 0, 0};

Key FunctionKey(int n) {  // 1 to 12
  static constexpr uint8_t FunctionKeyScans[] = {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88};
  return {static_cast<WORD>(VK_F1 + n - 1), FunctionKeyScans[n - 1], 0, 0};
}

// The key of a sequence's final letter: cursor keys, Home, End, the keypad's
// centre, F1 to F4.
Key KeyOfFinal(char final) {
  switch (final) {
    case 'A':
      return Up;
    case 'B':
      return Down;
    case 'C':
      return Right;
    case 'D':
      return Left;
    case 'H':
      return Home;
    case 'F':
      return End;
    case 'E':
      return Clear;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
      return FunctionKey(final - 'P' + 1);
  }
  return NoKey;
}

// The key of "CSI number ~".
Key KeyOfNumber(int n) {
  switch (n) {
    case 1:
    case 7:
      return Home;
    case 2:
      return Insert;
    case 3:
      return Delete;
    case 4:
    case 8:
      return End;
    case 5:
      return PageUp;
    case 6:
      return PageDown;
  }
  if (n >= 11 && n <= 15) return FunctionKey(n - 10);
  if (n >= 17 && n <= 21) return FunctionKey(n - 11);
  if (n == 23 || n == 24) return FunctionKey(n - 12);
  return NoKey;
}

// The keypad in application mode: "SS3 M" is its Enter, "SS3 j" to "SS3 y" its other keys.
Key KeypadKey(char final) {
  static constexpr uint8_t NumpadDigitScans[] = {82, 79, 80, 81, 75, 76, 77, 71, 72, 73};
  if (final >= 'p' && final <= 'y') {
    int digit = final - 'p';
    return {static_cast<WORD>(VK_NUMPAD0 + digit), NumpadDigitScans[digit], static_cast<char>('0' + digit), 0};
  }
  switch (final) {
    case 'M':
      // Line input takes it as Enter, which the enhanced flag would make an extended key.
      return {VK_RETURN, 28, 13, 0};
    case 'j':
      return {VK_MULTIPLY, 55, '*', 0};
    case 'k':
      return {VK_ADD, 78, '+', 0};
    case 'm':
      return {VK_SUBTRACT, 74, '-', 0};
    case 'n':
      return {VK_DECIMAL, 83, '.', 0};
    case 'o':
      return {VK_DIVIDE, 53, '/', ENHANCED_KEY};
  }
  return NoKey;
}

// The key a terminfo key capability names.
Key KeyOfCapability(const std::string& name) {
  static constexpr struct {
    const char* name;
    Key key;
  } named[] = {
      {"kcuu1", Up},
      {"kcud1", Down},
      {"kcuf1", Right},
      {"kcub1", Left},
      {"khome", Home},
      {"kend", End},
      {"kich1", Insert},
      {"kdch1", Delete},
      {"kpp", PageUp},
      {"knp", PageDown},
      {"kent", {VK_RETURN, 28, 13, 0}},
      {"kb2", Clear},
      {"kcbt", {VK_TAB, 15, 9, SHIFT_PRESSED}},
  };
  for (const auto& entry : named)
    if (name == entry.name) return entry.key;
  if (name.size() >= 3 && name.compare(0, 2, "kf") == 0) {
    int n = std::atoi(name.c_str() + 2);
    if (n >= 1 && n <= 12) return FunctionKey(n);
  }
  return NoKey;
}

// The sequence as the terminal sent it, looked up in its own description.
Key EntryKeyOf(const KeyDecoder& d, char final) {
  if (!d.entryKeys || d.entryKeys->empty()) return NoKey;
  std::string bytes{Esc, d.stage == KeyStage::Csi ? '[' : 'O'};
  bytes.append(d.parameters, d.parameterLength);
  bytes += final;
  for (const EntryKey& key : *d.entryKeys)
    if (key.bytes == bytes) return KeyOfCapability(key.capability);
  return NoKey;
}

// Up to two numbers separated by ';', each possibly empty (-1). False for
// anything else: private markers, intermediates, more numbers.
bool ParseNumbers(const KeyDecoder& d, int numbers[2], int& count) {
  numbers[0] = numbers[1] = -1;
  count = d.parameterLength > 0 ? 1 : 0;
  for (int i = 0; i < d.parameterLength; ++i) {
    char c = d.parameters[i];
    if (c == ';') {
      if (count == 2) return false;
      ++count;
    } else if (c >= '0' && c <= '9') {
      int& n = numbers[count - 1];
      n = (n < 0 ? 0 : n) * 10 + (c - '0');
      if (n > 99999) return false;
    } else {
      return false;
    }
  }
  return true;
}

// xterm's modifier parameter: one more than the bits Shift 1, Alt 2, Ctrl 4 (Meta 8 is ignored).
bool ModifierState(int m, DWORD& state) {
  if (m < 0) return true;
  if (m < 1 || m > 16) return false;
  int bits = m - 1;
  if (bits & 1) state |= SHIFT_PRESSED;
  if (bits & 2) state |= LEFT_ALT_PRESSED;
  if (bits & 4) state |= LEFT_CTRL_PRESSED;
  return true;
}

bool OnlyDigits(const KeyDecoder& d) {
  for (int i = 0; i < d.parameterLength; ++i)
    if (d.parameters[i] < '0' || d.parameters[i] > '9') return false;
  return true;
}

bool Known(const Key& key) {
  return key.virtualKey != 0;
}

void EmitWith(std::vector<INPUT_RECORD>& events, Key key, DWORD state) {
  key.state |= state;
  Emit(events, key);
}

void DispatchCsi(KeyDecoder& d, char final, std::vector<INPUT_RECORD>& events) {
  int numbers[2];
  int count;
  DWORD state = d.alt ? LEFT_ALT_PRESSED : 0;
  if (Key key = EntryKeyOf(d, final); Known(key)) return EmitWith(events, key, state);
  if (!ParseNumbers(d, numbers, count)) return;
  // Enter, the keypad's among them, in the "CSI code u" form.
  if (final == 'u' && count >= 1 && (numbers[0] == 13 || numbers[0] == 57414)) {
    if (count == 2 && !ModifierState(numbers[1], state)) return;
    return EmitWith(events, {VK_RETURN, 28, 13, 0}, state);
  }
  if (final == '~' || final == '^' || final == '$' || final == '@') {
    // rxvt marks Ctrl, Shift and both by the final instead of a parameter.
    if (final == '^' || final == '@') state |= LEFT_CTRL_PRESSED;
    if (final == '$' || final == '@') state |= SHIFT_PRESSED;
    Key key = count >= 1 ? KeyOfNumber(numbers[0]) : NoKey;
    if (!Known(key) || (count == 2 && !ModifierState(numbers[1], state))) return;
    return EmitWith(events, key, state);
  }
  // "CSI A" or "CSI 1;m A"; a first number other than 1 is no key.
  if (count >= 1 && numbers[0] != -1 && numbers[0] != 1) return;
  if (count == 2 && !ModifierState(numbers[1], state)) return;
  if (final == 'Z') return EmitWith(events, {VK_TAB, 15, 9, SHIFT_PRESSED}, state);
  Key key = KeyOfFinal(final);
  if (Known(key)) EmitWith(events, key, state);
}

void DispatchSs3(KeyDecoder& d, char final, std::vector<INPUT_RECORD>& events) {
  int numbers[2];
  int count;
  DWORD state = d.alt ? LEFT_ALT_PRESSED : 0;
  if (Key key = EntryKeyOf(d, final); Known(key)) return EmitWith(events, key, state);
  // Some terminals put the modifier parameter alone after SS3.
  if (!ParseNumbers(d, numbers, count) || count > 1 || (count == 1 && !ModifierState(numbers[0], state))) return;
  Key key = KeyOfFinal(final);
  if (!Known(key)) key = KeypadKey(final);
  if (Known(key)) EmitWith(events, key, state);
}

void EmitByte(KeyDecoder& d, unsigned char b, std::vector<INPUT_RECORD>& events) {
  EmitWith(events, KeyOfByte(b), d.alt ? LEFT_ALT_PRESSED : 0);
}

void StartUtf8(KeyDecoder& d, unsigned char b) {
  d.stage = KeyStage::Utf8;
  if (b >= 0xC2 && b <= 0xDF) {
    d.utf8Length = 2;
    d.codePoint = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    d.utf8Length = 3;
    d.codePoint = b & 0x0F;
  } else {
    d.utf8Length = 4;
    d.codePoint = b & 0x07;
  }
  d.utf8Missing = static_cast<uint8_t>(d.utf8Length - 1);
}

bool IsUtf8Lead(unsigned char b) {
  return b >= 0xC2 && b <= 0xF4;
}

void FinishUtf8(KeyDecoder& d, std::vector<INPUT_RECORD>& events) {
  uint32_t c = d.codePoint;
  bool overlong = (d.utf8Length == 3 && c < 0x800) || (d.utf8Length == 4 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return;
  EmitWith(events, {0, 0, AnsiCharOfCodePoint(c), 0}, d.alt ? LEFT_ALT_PRESSED : 0);
}

void EmitEightBit(KeyDecoder& d, unsigned char b, std::vector<INPUT_RECORD>& events) {
  uint32_t c = d.eightBit[b - 0x80];
  if (c != 0) EmitWith(events, {0, 0, AnsiCharOfCodePoint(c), 0}, d.alt ? LEFT_ALT_PRESSED : 0);
}

void StartSequence(KeyDecoder& d, KeyStage stage) {
  d.stage = stage;
  d.parameterLength = 0;
  d.overlong = false;
}

void Reset(KeyDecoder& d) {
  d.stage = KeyStage::Ground;
  d.alt = false;
}

// Takes one byte; false when the byte ended a malformed key and must be read again from the ground.
bool Feed(KeyDecoder& d, unsigned char b, std::vector<INPUT_RECORD>& events) {
  switch (d.stage) {
    case KeyStage::Ground:
      if (b == Esc) {
        d.stage = KeyStage::Escape;
        d.alt = false;
      } else if (b >= 0x80) {
        if (d.eightBit)
          EmitEightBit(d, b, events);
        else if (IsUtf8Lead(b))
          StartUtf8(d, b);
      } else {
        EmitByte(d, b, events);
      }
      return true;
    case KeyStage::Escape:
      if (b == '[') {
        StartSequence(d, KeyStage::Csi);
      } else if (b == 'O') {
        StartSequence(d, KeyStage::Ss3);
      } else if (b == ']' || b == 'P' || b == '_' || b == '^' || b == 'X') {
        d.stage = KeyStage::Report;
        d.reportKind = static_cast<char>(b);
        d.reportEsc = d.reportBody = false;
      } else if (b == Esc && !d.alt) {
        d.alt = true;
      } else if (d.alt) {
        // Esc Esc then a key: Alt+Esc, and the key on its own.
        EmitByte(d, Esc, events);
        Reset(d);
        return false;
      } else if (b >= 0x80) {
        d.alt = true;
        if (d.eightBit) {
          EmitEightBit(d, b, events);
          Reset(d);
        } else if (IsUtf8Lead(b))
          StartUtf8(d, b);
        else
          Reset(d);
      } else {
        d.alt = true;
        EmitByte(d, b, events);
        Reset(d);
      }
      return true;
    case KeyStage::Csi:
    case KeyStage::Ss3:
      // rxvt ends its Shift forms with '$', elsewhere a byte inside a sequence.
      if (b == '$' && d.stage == KeyStage::Csi && d.parameterLength > 0 && !d.overlong && OnlyDigits(d)) {
        DispatchCsi(d, '$', events);
        Reset(d);
        return true;
      }
      if (b >= 0x20 && b <= 0x3F) {
        if (d.parameterLength < sizeof d.parameters)
          d.parameters[d.parameterLength++] = static_cast<char>(b);
        else
          d.overlong = true;
        return true;
      }
      if (b >= 0x40 && b <= 0x7E) {
        if (d.stage == KeyStage::Csi && b == '[' && d.parameterLength == 0) {
          d.stage = KeyStage::LinuxFunction;
          return true;
        }
        // An X10 mouse report: button, column and row follow as three bytes.
        if (d.stage == KeyStage::Csi && b == 'M' && d.parameterLength == 0) {
          d.stage = KeyStage::MouseX10;
          d.mouseBytesLeft = 3;
          return true;
        }
        if (!d.overlong) (d.stage == KeyStage::Csi ? DispatchCsi : DispatchSs3)(d, static_cast<char>(b), events);
        Reset(d);
        return true;
      }
      Reset(d);
      return false;
    case KeyStage::LinuxFunction:
      // The Linux console's F1 to F5: "CSI [ A" to "CSI [ E".
      if (b >= 0x20 && b <= 0x7E) {
        if (b >= 'A' && b <= 'E') EmitWith(events, FunctionKey(b - 'A' + 1), d.alt ? LEFT_ALT_PRESSED : 0);
        Reset(d);
        return true;
      }
      Reset(d);
      return false;
    case KeyStage::MouseX10:
      if (--d.mouseBytesLeft == 0) Reset(d);
      return true;
    case KeyStage::Report:
      // Ends at BEL or ST (Esc \\); CAN and SUB cancel it; any other Esc starts a new sequence.
      if (d.reportEsc) {
        if (b == '\\') {
          Reset(d);
          return true;
        }
        Reset(d);
        d.stage = KeyStage::Escape;
        return false;
      }
      // A string starts with a printable byte; anything else after the
      // introducer makes it Alt with that key, the byte a key of its own.
      if (!d.reportBody && (b < 0x20 || b == 0x7F)) {
        EmitWith(events, KeyOfByte(static_cast<unsigned char>(d.reportKind)), LEFT_ALT_PRESSED);
        Reset(d);
        return false;
      }
      if (b == Esc)
        d.reportEsc = true;
      else if (b == 0x07 || b == 0x18 || b == 0x1A)
        Reset(d);
      else
        d.reportBody = true;
      return true;
    case KeyStage::Utf8:
      if (b < 0x80 || b > 0xBF) {
        Reset(d);
        return false;
      }
      d.codePoint = (d.codePoint << 6) | (b & 0x3F);
      if (--d.utf8Missing == 0) {
        FinishUtf8(d, events);
        Reset(d);
      }
      return true;
  }
  return true;
}

}  // namespace

void DecodeKeyBytes(KeyDecoder& decoder, const unsigned char* bytes, size_t count, std::vector<INPUT_RECORD>& events) {
  for (size_t i = 0; i < count; ++i)
    while (!Feed(decoder, bytes[i], events)) {
    }
}

bool KeyDecoderWaiting(const KeyDecoder& decoder) {
  return decoder.stage != KeyStage::Ground;
}

void EndKeyBytes(KeyDecoder& d, std::vector<INPUT_RECORD>& events) {
  bool bare = d.parameterLength == 0 && !d.alt;
  switch (d.stage) {
    case KeyStage::Escape:
      EmitByte(d, Esc, events);
      break;
    case KeyStage::Csi:
    case KeyStage::Ss3:
      // Alt+[ and Alt+O start like sequences.
      if (bare) EmitWith(events, KeyOfByte(d.stage == KeyStage::Csi ? '[' : 'O'), LEFT_ALT_PRESSED);
      break;
    case KeyStage::Report:
      // Alt+], Alt+P and the like start like a string; a reply would have come whole.
      if (!d.reportBody && !d.reportEsc)
        EmitWith(events, KeyOfByte(static_cast<unsigned char>(d.reportKind)), LEFT_ALT_PRESSED);
      break;
    default:
      break;
  }
  Reset(d);
}

}  // namespace win::stand_in
