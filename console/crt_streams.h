// The terminal's start-up and the binding of text streams to it.
#pragma once

#include <cstdint>

#include "runtime/text_stream.h"

namespace crt {

// Module initialisation of the console terminal.
void CrtInit();

void AssignCrt(rtl::TextRec& f);
int16_t CrtOpen(rtl::TextRec& f);
int16_t CrtReturn(rtl::TextRec& f);
int16_t CrtClose(rtl::TextRec& f);

}  // namespace crt
