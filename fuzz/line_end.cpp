// Line ends over arbitrary bytes, split into buffers at arbitrary points: every
// split must end the same lines at the same places as the unsplit text
// (LF, CR LF and a lone CR end a line; Ctrl+Z ends the input).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/text_stream.h"

namespace {

const uint8_t* input;
size_t inputSize, inputAt;
std::vector<size_t> pieceSizes;
size_t nextPiece;

int16_t ReadPiece(rtl::TextRec& t) {
  size_t n = pieceSizes.empty() ? 1 : pieceSizes[nextPiece++ % pieceSizes.size()];
  if (n > inputSize - inputAt) n = inputSize - inputAt;
  for (size_t i = 0; i < n; ++i) t.BufPtr[i] = static_cast<char>(input[inputAt + i]);
  inputAt += n;
  t.BufPos = 0;
  t.BufEnd = static_cast<int32_t>(n);
  return 0;
}

// Where each line ends in the whole text, by the line-end rules.
std::vector<size_t> LineEnds(const uint8_t* text, size_t size) {
  std::vector<size_t> ends;
  size_t at = 0;
  while (at < size && text[at] != 0x1A) {
    for (;;) {
      uint8_t c = text[at++];
      if (c == '\n' || at >= size || text[at] == 0x1A) break;
      if (c == '\r') {
        if (text[at] == '\n') ++at;
        break;
      }
    }
    ends.push_back(at);
  }
  return ends;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  pieceSizes.clear();
  for (int i = 0; i < 4; ++i) pieceSizes.push_back(1 + data[i] % 255);
  input = data + 4;
  inputSize = size - 4;
  inputAt = 0;
  nextPiece = 0;
  rtl::InOutRes = 0;
  rtl::CtrlZMarksEOF = true;
  rtl::Assign(rtl::Input, "");
  rtl::Input.Mode = rtl::ModeInput;
  rtl::Input.InOutFunc = ReadPiece;

  for (size_t expectedEnd : LineEnds(input, inputSize)) {
    rtl::ReadLnEnd(rtl::Input);
    size_t consumed = inputAt - static_cast<size_t>(rtl::Input.BufEnd - rtl::Input.BufPos);
    if (rtl::InOutRes != 0 || consumed != expectedEnd) std::abort();
  }
  return 0;
}
