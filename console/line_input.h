// Line input with echo from the console terminal.
#pragma once

#include <cstdint>

#include "runtime/text_stream.h"

namespace crt {

int16_t CrtRead(rtl::TextRec& f);
void BackSpace(rtl::TextRec& f);

}  // namespace crt
