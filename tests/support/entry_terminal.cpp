#include "tests/support/entry_terminal.h"

#include <curses.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <term.h>
#include <unistd.h>
// term.h names capabilities by macros that clash with ordinary words.
#undef columns
#undef lines

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/posix/console/terminal_host.h"

namespace testing_support {
namespace {

const std::string Mark = "\x1b[7777z";  // written by the test itself, after the host's bytes

std::string WithoutPadding(const char* s) {
  std::string out;
  for (const char* p = s; *p; ++p) {
    if (p[0] == '$' && p[1] == '<' && std::strchr(p, '>')) {
      p = std::strchr(p, '>');
      continue;
    }
    out += *p;
  }
  return out;
}

}  // namespace

EntryTerminal::EntryTerminal(const std::string& entry, int columns, int rows, std::string answer, char prefill)
    : columns_(columns), rows_(rows), bottom_(rows - 1), cells_(columns * rows, Cell{std::string(1, prefill)}) {
  int error = 0;
  TERMINAL* previous = cur_term;
  if (setupterm(entry.c_str(), -1, &error) != OK) std::abort();
  autoWrap = tigetflag(const_cast<char*>("am")) > 0;
  lateWrap = tigetflag(const_cast<char*>("xenl")) > 0;
  backgroundErase = tigetflag(const_cast<char*>("bce")) > 0;
  for (int i = 0; strnames[i]; ++i) {
    const char* raw = tigetstr(const_cast<char*>(strnames[i]));
    if (!raw || raw == reinterpret_cast<const char*>(-1)) continue;
    std::string s = WithoutPadding(raw);
    if (s.find("%p3") != std::string::npos) continue;  // sgr and its like
    bool one = s.find("%p1") != std::string::npos, two = s.find("%p2") != std::string::npos;
    int high = std::max(columns, rows) + 1;
    for (int p1 = 0; p1 < (one ? high : 1); ++p1)
      for (int p2 = 0; p2 < (two ? high : 1); ++p2) {
        const char* made = one ? tiparm(s.c_str(), p1, p2) : s.c_str();
        if (made && *made) sequences_.emplace(made, Meaning{strnames[i], p1, p2});
      }
  }
  // xterm's "meta sends Esc" mode, saved, set and put back, which its entries do not list.
  if (entry.rfind("xterm", 0) == 0)
    for (const char* mode : {"\x1b[?1036s", "\x1b[?1036h", "\x1b[?1036r"})
      sequences_.emplace(mode, Meaning{"meta", 0, 0});
  for (const auto& [bytes, meaning] : sequences_) longest_ = std::max(longest_, bytes.size());
  TERMINAL* loaded = cur_term;
  set_curterm(previous);
  del_curterm(loaded);
  std::string report = sequences_.count("\x1b[6n") ? "\x1b[6n" : "";
  winsize size{static_cast<unsigned short>(rows), static_cast<unsigned short>(columns), 0, 0};
  if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) std::abort();
  reader_ = std::thread([this, answer, report] {
    for (char bytes[4096]; !stop_;) {
      pollfd ready{master_, POLLIN, 0};
      ssize_t n = poll(&ready, 1, 20) == 1 ? read(master_, bytes, sizeof bytes) : 0;
      std::string chunk(bytes, static_cast<size_t>(std::max<ssize_t>(n, 0)));
      if (!report.empty() && chunk.find(report) != std::string::npos && !answer.empty())
        Type(answer == "report" ? "\x1b[1;1R" : answer);
      std::lock_guard<std::mutex> guard(lock_);
      written_ += chunk;
    }
  });
}

EntryTerminal::~EntryTerminal() {
  stop_ = true;
  reader_.join();
  close(slave_);
  close(master_);
}

void EntryTerminal::Type(const std::string& bytes) {
  EXPECT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

bool EntryTerminal::WaitFor(const std::string& bytes) {
  for (int i = 0; i < 2500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
    std::lock_guard<std::mutex> guard(lock_);
    if (written_.find(bytes, applied_) != std::string::npos) return true;
  }
  return false;
}

std::string EntryTerminal::Row(int y) const {
  std::string row;
  for (int x = 0; x < columns_; ++x) row += At(x, y).text;
  return row.erase(row.find_last_not_of(' ') + 1);
}

EntryTerminal::Cell EntryTerminal::Erased() const {
  return Cell{" ", -1, backgroundErase ? pen_.background : -1, false};
}

void EntryTerminal::ScrollUp(int lines) {
  ++scrolls;
  auto row = [&](int y) { return cells_.begin() + y * columns_; };
  for (int i = 0; i < lines; ++i) {
    std::copy(row(top_ + 1), row(bottom_ + 1), row(top_));
    std::fill(row(bottom_), row(bottom_ + 1), Erased());
  }
}

void EntryTerminal::LineFeed() {
  if (cursorY == bottom_)
    ScrollUp(1);
  else if (cursorY < rows_ - 1)
    ++cursorY;
}

void EntryTerminal::Put(const std::string& glyph) {
  if (pendingWrap) {
    pendingWrap = false;
    cursorX = 0;
    LineFeed();
  }
  Cell cell = pen_;
  cell.text = glyph;
  cells_[static_cast<size_t>(cursorY * columns_ + cursorX)] = cell;
  if (cursorX < columns_ - 1) {
    ++cursorX;
  } else if (lateWrap) {
    pendingWrap = true;
  } else if (autoWrap) {
    cursorX = 0;
    LineFeed();
  }
}

void EntryTerminal::Act(const std::string& name, int p1, int p2) {
  pendingWrap = false;
  auto erase = [&](int from, int to) {  // cell indexes
    for (int i = from; i < to; ++i) cells_[static_cast<size_t>(i)] = Erased();
  };
  if (name == "cup") {
    cursorY = std::min(p1, rows_ - 1);
    cursorX = std::min(p2, columns_ - 1);
  } else if (name == "csr") {
    top_ = p1;
    bottom_ = p2;
    cursorX = cursorY = 0;
  } else if (name == "ind" || name == "cud1") {
    LineFeed();
  } else if (name == "nel") {
    cursorX = 0;
    LineFeed();
  } else if (name == "cr") {
    cursorX = 0;
  } else if (name == "indn") {
    ScrollUp(p1);
  } else if (name == "ed") {
    erase(cursorY * columns_ + cursorX, rows_ * columns_);
  } else if (name == "el") {
    erase(cursorY * columns_ + cursorX, (cursorY + 1) * columns_);
  } else if (name == "clear") {
    cursorX = cursorY = 0;
    erase(0, rows_ * columns_);
  } else if (name == "sgr0") {
    pen_ = Cell{};
  } else if (name == "op") {
    pen_.foreground = pen_.background = -1;
  } else if (name == "setaf") {
    pen_.foreground = p1;
  } else if (name == "setab") {
    pen_.background = p1;
  } else if (name == "bold") {
    pen_.bold = true;
  } else if (name != "smkx" && name != "rmkx" && name != "cnorm" && name != "civis" && name != "u7" && name != "meta") {
    faults.push_back("no meaning here for " + name);
  }
}

void EntryTerminal::Shown() {
  win::stand_in::FlushTerminalConsole();
  EXPECT_EQ(write(slave_, Mark.data(), Mark.size()), ssize_t(Mark.size()));
  ASSERT_TRUE(WaitFor(Mark)) << "the terminal never caught up";
  std::lock_guard<std::mutex> guard(lock_);
  size_t end = written_.find(Mark, applied_);
  size_t i = applied_;
  while (i < end) {
    unsigned char b = written_[i];
    if (b >= 0x20 && b != 0x7F) {
      size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;  // of a UTF-8 character
      Put(written_.substr(i, length));
      i += length;
      continue;
    }
    bool known = false;
    for (size_t length = std::min(longest_, end - i); length > 0 && !known; --length) {
      auto found = sequences_.find(written_.substr(i, length));
      if (found == sequences_.end()) continue;
      Act(found->second.name, found->second.p1, found->second.p2);
      i += length;
      known = true;
    }
    if (!known) {
      faults.push_back("not in the entry: " + written_.substr(i, 8));
      ++i;
    }
  }
  applied_ = end + Mark.size();
}

}  // namespace testing_support
