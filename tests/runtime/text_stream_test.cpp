// Streams whose function slots are test functions over memory, so the
// buffering and reading rules are seen byte by byte.
#include "runtime/text_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "tests/support/child_process.h"

namespace {

std::string written;
int emptyings = 0;
std::string pendingInput;
size_t chunk = 256;

int16_t CollectOutput(rtl::TextRec& t) {
  written.append(t.BufPtr, static_cast<size_t>(t.BufPos));
  t.BufPos = 0;
  ++emptyings;
  return 0;
}

int16_t FeedInput(rtl::TextRec& t) {
  size_t n = std::min({pendingInput.size(), chunk, static_cast<size_t>(t.BufSize)});
  pendingInput.copy(t.BufPtr, n);
  pendingInput.erase(0, n);
  t.BufPos = 0;
  t.BufEnd = static_cast<int32_t>(n);
  return 0;
}

rtl::TextRec OutputStream() {
  rtl::TextRec t;
  rtl::Assign(t, "");
  t.Mode = rtl::ModeOutput;
  t.InOutFunc = CollectOutput;
  written.clear();
  emptyings = 0;
  rtl::InOutRes = 0;
  return t;
}

rtl::TextRec InputStream(const std::string& text, size_t chunkSize = 256) {
  rtl::TextRec t;
  rtl::Assign(t, "");
  t.Mode = rtl::ModeInput;
  t.InOutFunc = FeedInput;
  pendingInput = text;
  chunk = chunkSize;
  rtl::InOutRes = 0;
  return t;
}

TEST(TextOutput, ExactlyFullBufferWaitsForTheStatementEnd) {
  rtl::TextRec t = OutputStream();
  t.FlushFunc = CollectOutput;
  std::string s(255, 'a');
  rtl::WriteShortStr(0, t, rtl::ShortString(s));
  rtl::WriteShortStr(0, t, "b");
  EXPECT_EQ(t.BufPos, 256);
  EXPECT_EQ(emptyings, 0);
  rtl::WriteShortStr(0, t, "c");
  EXPECT_EQ(emptyings, 1);
  EXPECT_EQ(written, s + "b");
  rtl::WriteEnd(t);
  EXPECT_EQ(written, s + "bc");
}

TEST(TextOutput, WidthsPadButNeverCut) {
  rtl::TextRec t = OutputStream();
  rtl::WriteSInt(5, t, -42);
  rtl::WriteShortStr(2, t, "long");
  rtl::WriteSInt(0, t, INT32_MIN);
  rtl::WriteUInt(0, t, 4294967295u);
  rtl::WriteLnEnd(t);
  rtl::Flush(t);
  EXPECT_EQ(written, "  -42long-21474836484294967295\r\n");
}

TEST(TextInput, ReadsIntegersAcrossLinesAndBufferSplits) {
  for (size_t split : {1, 2, 3, 256}) {
    rtl::TextRec t = InputStream("\r\n  \t\n  -17 junk\n$10\n", split);
    int32_t v = 99;
    rtl::ReadSInt(t, v);
    EXPECT_EQ(v, -17) << split;
    rtl::ReadLnEnd(t);
    rtl::ReadSInt(t, v);
    EXPECT_EQ(v, 16) << split;
    rtl::ReadLnEnd(t);
    rtl::ReadSInt(t, v);
    EXPECT_EQ(v, 0) << "end of input reads 0";
    EXPECT_EQ(rtl::InOutRes, 0);
  }
}

TEST(TextInput, LineEndsAtLfCrLfLoneCrEndOfInputAndCtrlZ) {
  rtl::TextRec t = InputStream("a\nb\r\nc\rd");
  int32_t v;
  std::string seen;
  for (int i = 0; i < 4; ++i) {
    rtl::ReadLnEnd(t);
    seen += std::to_string(t.BufPos) + ",";
  }
  // After a, b (CR LF), c (lone CR) the stream stands at d; the last line ends at end of input.
  EXPECT_EQ(seen, "2,5,7,0,");
  rtl::ReadLnEnd(t);
  rtl::ReadSInt(t, v);
  EXPECT_EQ(rtl::InOutRes, 0);

  // Ctrl+Z (octal 032) is end of input, and stays unread.
  rtl::TextRec z = InputStream("\0325\n");
  v = 1;
  rtl::ReadSInt(z, v);
  EXPECT_EQ(v, 0);
  rtl::ReadLnEnd(z);
  EXPECT_EQ(z.BufPos, 0);
}

// In a child process, since it repoints the standard handles.
TEST(HandleStreams, AGoneReaderIsError233OnWriteAGoneWriterTheEndOfInput) {
  auto r = testing_support::RunInChild([] {
    int fds[2];
    if (pipe(fds) != 0) _exit(10);
    close(fds[0]);
    int report = dup(1);
    dup2(fds[1], 1);
    rtl::SysInitStdIO();
    rtl::InOutRes = 0;
    rtl::WriteShortStr(0, rtl::StdOut, "lost");
    rtl::Flush(rtl::StdOut);
    std::string seen = "write " + std::to_string(rtl::InOutRes);
    rtl::InOutRes = 0;
    int32_t v = 3;
    rtl::ReadSInt(rtl::Input, v);  // the child's input is at its end
    seen += ", read " + std::to_string(v) + " " + std::to_string(rtl::InOutRes);
    if (write(report, seen.data(), seen.size()) < 0) _exit(11);
  });
  EXPECT_EQ(r.out, "write 233, read 0 0");
}

TEST(IOResults, ModeErrorsAndInvalidNumbersStickUntilCleared) {
  rtl::TextRec t = OutputStream();
  int32_t v = 5;
  rtl::ReadSInt(t, v);
  EXPECT_EQ(rtl::InOutRes, 104);
  rtl::InOutRes = 0;
  t.Mode = rtl::ModeInput;
  rtl::WriteShortStr(0, t, "x");
  EXPECT_EQ(rtl::InOutRes, 105);
  rtl::InOutRes = 0;
  t.Mode = rtl::ModeClosed;
  rtl::WriteLnEnd(t);
  EXPECT_EQ(rtl::InOutRes, 103);
  t.Mode = rtl::ModeOutput;
  rtl::WriteShortStr(0, t, "ignored while the error is set");
  rtl::Flush(t);
  EXPECT_TRUE(written.empty());
  rtl::InOutRes = 0;
  rtl::Close(t);
  rtl::Close(t);
  EXPECT_EQ(rtl::InOutRes, 103);

  rtl::TextRec in = InputStream("12x\n");
  rtl::ReadSInt(in, v);
  EXPECT_EQ(rtl::InOutRes, 106);
  EXPECT_EQ(v, 0);

  // Host error numbers as the run-time reports them.
  const std::pair<int, int> errors[] = {{19, 150}, {31, 162}, {32, 5}, {145, 5}, {183, 5}, {109, 109}};
  for (auto [error, result] : errors) EXPECT_EQ(rtl::Errno2InOutRes(error), result) << error;
}

}  // namespace
