// Writing to a text stream: strings and integers into the buffer, emptied
// through the stream's function whenever it fills, and the ends of statements.
#include <cstring>

#include "runtime/int_text.h"
#include "runtime/text_stream.h"

namespace rtl {

namespace {

void WriteBuffer(TextRec& t, const char* bytes, int32_t n) {
  int32_t free = t.BufSize - t.BufPos;
  while (n > free) {
    std::memcpy(t.BufPtr + t.BufPos, bytes, static_cast<size_t>(free));
    t.BufPos += free;
    bytes += free;
    n -= free;
    t.InOutFunc(t);
    free = t.BufSize - t.BufPos;
  }
  std::memcpy(t.BufPtr + t.BufPos, bytes, static_cast<size_t>(n));
  t.BufPos += n;
}

void WriteBlanks(TextRec& t, int32_t n) {
  static const char blanks[64] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                  ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                  ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                  ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  while (n > 0) {
    int32_t chunk = n < 64 ? n : 64;
    WriteBuffer(t, blanks, chunk);
    n -= chunk;
  }
}

// The mode error of a write on a stream that is not open for output.
bool CheckWrite(TextRec& t) {
  if (InOutRes != 0) return false;
  if (t.Mode == ModeOutput) return true;
  InOutRes = t.Mode == ModeInput ? 105 : 103;
  return false;
}

}  // namespace

void WriteShortStr(int32_t width, TextRec& t, const ShortString& s) {
  if (!CheckWrite(t)) return;
  if (width > s.length) WriteBlanks(t, width - s.length);
  WriteBuffer(t, s.chars, s.length);
}

void WriteSInt(int32_t width, TextRec& t, int32_t value) {
  if (InOutRes != 0) return;
  WriteShortStr(width, t, IntStr(value));
}

void WriteUInt(int32_t width, TextRec& t, uint32_t value) {
  if (InOutRes != 0) return;
  WriteShortStr(width, t, UIntStr(value));
}

void WriteEnd(TextRec& t) {
  if (t.FlushFunc) t.FlushFunc(t);
}

void WriteLnEnd(TextRec& t) {
  if (!CheckWrite(t)) return;
  WriteBuffer(t, t.LineEnd.chars, t.LineEnd.length);
  if (t.FlushFunc) t.FlushFunc(t);
}

}  // namespace rtl
