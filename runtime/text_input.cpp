// Reading from a text stream: integers and line ends, refilling the buffer
// through the stream's function as it is used up.
#include "runtime/int_text.h"
#include "runtime/text_stream.h"

namespace rtl {

namespace {

constexpr char CtrlZ = 0x1A;

bool AtCtrlZ(const TextRec& t) {
  return CtrlZMarksEOF && t.BufPos < t.BufEnd && t.BufPtr[t.BufPos] == CtrlZ;
}
bool AtEnd(const TextRec& t) {
  return t.BufPos >= t.BufEnd || AtCtrlZ(t);
}
uint8_t Current(const TextRec& t) {
  return static_cast<uint8_t>(t.BufPtr[t.BufPos]);
}

bool CheckRead(TextRec& t) {
  if (InOutRes != 0) return false;
  switch (t.Mode) {
    case ModeInput:
      if (t.BufPos >= t.BufEnd) t.InOutFunc(t);
      return true;
    case ModeOutput:
    case ModeAppend:
      InOutRes = 104;
      return false;
    default:
      InOutRes = 103;
      return false;
  }
}

bool NextChar(TextRec& t, ShortString& token, uint8_t limit) {
  if (AtEnd(t)) return false;
  if (token.length < limit) token.chars[token.length++] = t.BufPtr[t.BufPos];
  ++t.BufPos;
  if (t.BufPos >= t.BufEnd) t.InOutFunc(t);
  return true;
}

// True at end of input or with a byte above blank current.
bool IgnoreSpaces(TextRec& t) {
  if (AtEnd(t)) return false;
  ShortString discarded;
  while (Current(t) <= 0x20) {
    discarded.length = 0;
    if (!NextChar(t, discarded, 0)) return false;
    if (AtEnd(t)) return true;
  }
  return true;
}

void ReadNumeric(TextRec& t, ShortString& token) {
  do {
    if (!NextChar(t, token, 255)) return;
    if (token.length >= 255) return;
  } while (!AtEnd(t) && Current(t) > 0x20);
}

}  // namespace

void ReadSInt(TextRec& t, int32_t& value) {
  value = 0;
  if (!CheckRead(t)) return;
  ShortString token;
  if (IgnoreSpaces(t)) {
    if (AtEnd(t)) return;
    ReadNumeric(t, token);
  }
  if (token.length == 0) return;
  int32_t position;
  value = ValSInt(token, position);
  if (position != 0) InOutRes = 106;
}

void ReadEnd(TextRec& t) {
  if (t.FlushFunc) t.FlushFunc(t);
}

void ReadLnEnd(TextRec& t) {
  if (!CheckRead(t)) return;
  if (t.BufPos >= t.BufEnd) {
    if (t.FlushFunc) t.FlushFunc(t);
    return;
  }
  if (AtCtrlZ(t)) return;
  for (;;) {
    char c = t.BufPtr[t.BufPos++];
    if (c == '\n') return;
    if (t.BufPos >= t.BufEnd) {
      t.InOutFunc(t);
      if (t.BufPos >= t.BufEnd) {
        if (t.FlushFunc) t.FlushFunc(t);
        return;
      }
    }
    if (AtCtrlZ(t)) return;
    if (c == '\r') {
      if (t.BufPtr[t.BufPos] == '\n') ++t.BufPos;
      return;
    }
  }
}

}  // namespace rtl
