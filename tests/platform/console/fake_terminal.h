// A pseudo-terminal with a small screen model on its far side: it reads what
// the terminal host writes, keeps the cells (UTF-8 text and colours), answers
// the cursor position query and records whatever a real terminal would not
// take as plain text or one of the sequences the host may send.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct FakeCell {
  std::string text = " ";
  int foreground = 39, background = 49;  // SGR codes
};

struct FakeTerminalSetup {
  int columns = 40, rows = 12;
  bool answersCursorQuery = true;
  int cursorRow = 1, cursorColumn = 1;  // 1-based, what the answer reports
  std::string beforeAnswer;             // bytes typed just before the answer
  char prefill = ' ';                   // what the screen shows before the host starts
};

class FakeTerminal {
 public:
  explicit FakeTerminal(const FakeTerminalSetup& setup = {});
  ~FakeTerminal();

  int slave() const { return slave_; }
  int master() const { return master_; }
  // Keys typed on the terminal.
  void Type(const std::string& bytes);
  // Returns once everything written to the slave before the call has been read and applied.
  bool Sync();
  // Waits until the screen satisfies the predicate (checked under the lock) or the time runs out.
  bool WaitFor(const std::function<bool()>& predicate, int milliseconds);

  // Under lock().
  std::mutex& lock() { return lock_; }
  const FakeCell& At(int x, int y) const { return cells_[static_cast<size_t>(y) * columns_ + x]; }
  std::string Row(int y) const;  // trailing blanks removed
  int cursorX() const { return cursorX_; }
  int cursorY() const { return cursorY_; }
  const std::vector<std::string>& faults() const { return faults_; }  // raw controls, unknown sequences
  int scrolls() const { return scrolls_; }
  int regionScrolls() const { return regionScrolls_; }
  const std::string& received() const { return received_; }

 private:
  void Run();
  void Apply(unsigned char byte);
  void Text(uint32_t codePoint);
  void Sequence(char final);
  void ScrollUp(int lines);

  int master_ = -1, slave_ = -1;
  FakeTerminalSetup setup_;
  int columns_, rows_;
  std::mutex lock_;
  std::vector<FakeCell> cells_;
  int cursorX_ = 0, cursorY_ = 0;
  bool wrapPending_ = false;
  int foreground_ = 39, background_ = 49;
  int top_ = 0, bottom_ = 0;
  enum { Ground, Escape, Csi, Utf8 } stage_ = Ground;
  std::string parameters_;
  uint32_t codePoint_ = 0;
  int utf8Missing_ = 0;
  std::vector<std::string> faults_;
  int scrolls_ = 0, regionScrolls_ = 0;
  int syncsSeen_ = 0;
  int syncsSent_ = 0;
  std::string received_;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

}  // namespace testing_support
