// Integer reading over arbitrary bytes: the value parser, and the stream
// reader with the bytes split into buffers at arbitrary points.
#include "runtime/int_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/text_stream.h"

namespace {

const uint8_t* input;
size_t inputSize, inputAt, splitEvery;

// Hands out the input in pieces of splitEvery bytes, as a pipe might.
int16_t ReadPiece(rtl::TextRec& t) {
  size_t n = inputSize - inputAt < splitEvery ? inputSize - inputAt : splitEvery;
  if (n > static_cast<size_t>(t.BufSize)) n = static_cast<size_t>(t.BufSize);
  for (size_t i = 0; i < n; ++i) t.BufPtr[i] = static_cast<char>(input[inputAt + i]);
  inputAt += n;
  t.BufPos = 0;
  t.BufEnd = static_cast<int32_t>(n);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  int32_t code = 0;
  int32_t value = rtl::ValSInt(rtl::ShortString(text), code);
  if (code < 0 || code > 256) std::abort();
  (void)value;

  input = data + 1;
  inputSize = size - 1;
  inputAt = 0;
  splitEvery = 1 + data[0] % 64;
  rtl::InOutRes = 0;
  rtl::Assign(rtl::Input, "");
  rtl::Input.Mode = rtl::ModeInput;
  rtl::Input.InOutFunc = ReadPiece;
  for (int lines = 0; inputAt < inputSize && lines < 64; ++lines) {
    int32_t number = 0;
    rtl::ReadSInt(rtl::Input, number);
    if (rtl::InOutRes != 0 && rtl::InOutRes != 106) std::abort();
    rtl::InOutRes = 0;
    rtl::ReadLnEnd(rtl::Input);
    if (rtl::Input.BufPos < 0 || rtl::Input.BufPos > rtl::Input.BufEnd) std::abort();
    rtl::InOutRes = 0;
  }
  return 0;
}
