// Terminal output over arbitrary bytes and window sizes: every cell written
// lies inside the window, cells outside it keep their marks, and the cursor
// ends inside the window.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "console/crt_streams.h"
#include "console/screen_output.h"
#include "platform/posix/testing/memory_console.h"
#include "runtime/text_stream.h"

namespace mem = win::stand_in;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  mem::MemoryConsoleSetup setup;
  setup.width = static_cast<win::SHORT>(1 + data[0] % 40);
  setup.height = static_cast<win::SHORT>(1 + data[1] % 12);
  win::SHORT left = static_cast<win::SHORT>(data[2] % setup.width);
  win::SHORT top = static_cast<win::SHORT>(data[3] % setup.height);
  win::SHORT right = static_cast<win::SHORT>(left + (data[2] >> 4) % (setup.width - left));
  win::SHORT bottom = static_cast<win::SHORT>(top + (data[3] >> 4) % (setup.height - top));
  setup.window = {left, top, right, bottom};
  setup.cursor = {left, top};
  mem::UseMemoryConsole(setup);
  win::DWORD done;
  for (win::SHORT y = 0; y < setup.height; ++y)
    for (win::SHORT x = 0; x < setup.width; ++x)
      win::WriteConsoleOutputCharacterA(win::GetStdHandle(STD_OUTPUT_HANDLE), "\x01", 1, {x, y}, &done);
  rtl::InOutRes = 0;
  rtl::SysInitStdIO();
  crt::CrtInit();

  data += 4;
  size -= 4;
  while (size > 0) {
    size_t n = 1 + data[0] % 200;
    if (n > size) n = size;
    rtl::TextRec& out = rtl::Output;
    for (size_t i = 0; i < n; ++i) out.BufPtr[i] = data[i] == 1 ? 2 : static_cast<char>(data[i]);
    out.BufPos = static_cast<int32_t>(n);
    crt::CrtWrite(out);
    data += n;
    size -= n;
    win::COORD cursor = mem::CursorAt();
    if (cursor.X < left || cursor.X > right || cursor.Y < top || cursor.Y > bottom) std::abort();
  }
  for (win::SHORT y = 0; y < setup.height; ++y)
    for (win::SHORT x = 0; x < setup.width; ++x) {
      bool inside = x >= left && x <= right && y >= top && y <= bottom;
      if (!inside && mem::CellAt(x, y).character != 1) std::abort();
    }
  return 0;
}
