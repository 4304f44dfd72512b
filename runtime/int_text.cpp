// Integer text: decimal and hexadecimal writing, and the reader's integer syntax
// (sign, base prefixes $ % & x 0x, leading zeros, 32-bit limits).
#include "runtime/int_text.h"

namespace rtl {

ShortString UIntStr(uint32_t value) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  ShortString text;
  while (n > 0) text.chars[text.length++] = digits[--n];
  return text;
}

ShortString IntStr(int32_t value) {
  if (value >= 0) return UIntStr(static_cast<uint32_t>(value));
  ShortString magnitude = UIntStr(0u - static_cast<uint32_t>(value));
  ShortString text = "-";
  for (uint8_t i = 0; i < magnitude.length; ++i) text.chars[text.length++] = magnitude.chars[i];
  return text;
}

ShortString HexStr(uint32_t value) {
  static const char hex[] = "0123456789ABCDEF";
  ShortString text;
  text.length = 8;
  for (int i = 7; i >= 0; --i) {
    text.chars[i] = hex[value & 0xF];
    value >>= 4;
  }
  return text;
}

namespace {

uint32_t DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  return 16;
}

}  // namespace

int32_t ValSInt(const ShortString& s, int32_t& position) {
  const int32_t length = s.length;
  const char* c = s.chars;  // c[i - 1] is the character at 1-based position i
  position = 1;
  if (length == 0) return 0;
  int32_t i = 1;
  while (i <= length && (c[i - 1] == '\t' || c[i - 1] == ' ')) ++i;
  bool negative = false;
  if (i <= length && c[i - 1] == '-') {
    negative = true;
    ++i;
  } else if (i <= length && c[i - 1] == '+') {
    ++i;
  }
  uint32_t base = 10;
  if (i <= length) {
    switch (c[i - 1]) {
      case '$':
      case 'x':
      case 'X':
        base = 16;
        ++i;
        break;
      case '%':
        base = 2;
        ++i;
        break;
      case '&':
        base = 8;
        ++i;
        break;
      case '0':
        if (i < length && (c[i] == 'x' || c[i] == 'X')) {
          base = 16;
          i += 2;
        }
        break;
    }
  }
  while (i < length && c[i - 1] == '0') ++i;
  if (i > length) {
    position = length + 1;
    return 0;
  }
  const uint32_t limit = base == 10 ? (negative ? 2147483648u : 2147483647u) : 4294967295u;
  uint32_t accumulator = 0;
  for (; i <= length; ++i) {
    uint32_t digit = DigitValue(c[i - 1]);
    uint32_t next = accumulator * base;
    if (digit >= base || limit - digit < next || accumulator > 4294967295u / base) {
      position = i;
      return 0;
    }
    accumulator = next + digit;
  }
  position = 0;
  uint32_t value = negative ? 0u - accumulator : accumulator;
  return static_cast<int32_t>(value);
}

}  // namespace rtl
