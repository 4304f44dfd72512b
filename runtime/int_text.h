// Integers to decimal text and text to integers, as the streams read and write them.
#pragma once

#include <cstdint>

#include "runtime/short_string.h"

namespace rtl {

ShortString IntStr(int32_t value);
ShortString UIntStr(uint32_t value);
// Position is 0 on success, else the 1-based index of the first offending
// character; the value is then 0.
int32_t ValSInt(const ShortString& s, int32_t& position);
// 8 upper-case hexadecimal digits.
ShortString HexStr(uint32_t value);

}  // namespace rtl
