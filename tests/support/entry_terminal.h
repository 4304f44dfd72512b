// The far side of a pseudo-terminal that knows only the sequences of one
// terminfo entry: what the host writes is matched against the entry's
// strings (parameterised ones instantiated for every cell of the screen) and
// applied to a grid of cells; anything else is recorded as a fault. It
// answers the entry's cursor report request with its cursor.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class EntryTerminal {
 public:
  struct Cell {
    std::string text = " ";
    int foreground = -1, background = -1;  // colour numbers; -1 the terminal's default
    bool bold = false;
  };
  // `answer`: bytes typed before the cursor report ("" for none; "report": the report alone).
  EntryTerminal(const std::string& entry, int columns, int rows, std::string answer = "report", char prefill = ' ');
  ~EntryTerminal();
  int slave() const { return slave_; }
  void Type(const std::string& bytes);
  bool WaitFor(const std::string& bytes);  // until the host has written them
  void Shown();                            // flushes the host and applies all it wrote
  const Cell& At(int x, int y) const { return cells_[static_cast<size_t>(y * columns_ + x)]; }
  std::string Row(int y) const;
  size_t Received() const { return applied_; }

  int cursorX = 0, cursorY = 0;
  bool autoWrap = false, lateWrap = false, backgroundErase = false, pendingWrap = false;
  int scrolls = 0;
  std::vector<std::string> faults;

 private:
  void Act(const std::string& name, int p1, int p2);
  void Put(const std::string& glyph);
  void LineFeed();
  void ScrollUp(int lines);
  Cell Erased() const;  // a blank cell as erasing and scrolling leave it

  struct Meaning {
    std::string name;
    int p1, p2;
  };
  std::map<std::string, Meaning> sequences_;
  size_t longest_ = 0;
  int columns_, rows_, top_ = 0, bottom_;
  std::vector<Cell> cells_;
  Cell pen_;
  int master_ = -1, slave_ = -1;
  std::mutex lock_;
  std::string written_;
  size_t applied_ = 0;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

}  // namespace testing_support
