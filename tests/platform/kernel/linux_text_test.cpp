// The standard output and error on a file or a pipe hold Linux text.
#include "platform/posix/kernel/linux_text.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "platform/win.h"
#include "tests/support/child_process.h"

namespace {

using testing_support::RunInChild;

// Each piece is one WriteFile on the standard output; the child then exits
// through ExitProcess, which writes a CR still held.
std::string WrittenThroughStdOut(const std::vector<std::string>& pieces, const char* locale = "C.UTF-8") {
  return RunInChild([&pieces, locale] {
           setenv("LC_ALL", locale, 1);
           for (const std::string& piece : pieces) {
             win::DWORD written = 0;
             win::HANDLE out = win::GetStdHandle(STD_OUTPUT_HANDLE);
             if (!win::WriteFile(out, piece.data(), static_cast<win::DWORD>(piece.size()), &written, nullptr) ||
                 written != piece.size())
               _exit(20);
           }
           win::ExitProcess(0);
         })
      .out;
}

TEST(LinuxText, LineEndsBecomeLFEvenAcrossWrites) {
  struct Case {
    std::vector<std::string> pieces;
    std::string text;
  };
  const std::vector<Case> cases = {
      {{"a\r\nb\r\n"}, "a\nb\n"}, {{"a\r", "\nb"}, "a\nb"},  // the CR LF split between two buffers
      {{"a\r", "b"}, "a\rb"},                                // a lone CR stays
      {{"a\rb\n\r"}, "a\rb\n\r"},                            // and so does one at the very end
      {{"a\r", "", "\n"}, "a\n"}, {{"\r\n\r\n"}, "\n\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(WrittenThroughStdOut(c.pieces), c.text) << c.pieces.front();
}

TEST(LinuxText, AnsiBytesInTheLocalesEncoding) {
  EXPECT_EQ(WrittenThroughStdOut({"m\xF8 \x80\x9F\xA0\xFF"}), "m\xC3\xB8 \xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF");
  EXPECT_EQ(WrittenThroughStdOut({"\x81\x9D"}), "\xC2\x81\xC2\x9D");  // undefined in the page: the control code
  EXPECT_EQ(WrittenThroughStdOut({"m\xF8 x"}, "C"), "m? x");
  EXPECT_EQ(WrittenThroughStdOut({"\x01\t~\x7F"}), "\x01\t~\x7F");  // below 0x80 as it is
}

TEST(LinuxText, TheStandardErrorToo) {
  auto r = RunInChild([] {
    setenv("LC_ALL", "C.UTF-8", 1);
    win::DWORD written = 0;
    win::WriteFile(win::GetStdHandle(STD_ERROR_HANDLE), "\xF8\r\n", 3, &written, nullptr);
    _exit(written == 3 ? 0 : 1);
  });
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "\xC3\xB8\n");
}

}  // namespace
