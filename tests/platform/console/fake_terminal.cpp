#include "tests/platform/console/fake_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace testing_support {
namespace {

constexpr char SyncMark[] = "\x1b[7777z";

std::vector<int> Numbers(const std::string& parameters) {
  std::vector<int> numbers;
  std::stringstream in(parameters);
  std::string part;
  while (std::getline(in, part, ';')) numbers.push_back(part.empty() ? -1 : std::atoi(part.c_str()));
  if (!parameters.empty() && parameters.back() == ';') numbers.push_back(-1);
  return numbers;
}

int NumberOr(const std::vector<int>& numbers, size_t i, int fallback) {
  return i < numbers.size() && numbers[i] > 0 ? numbers[i] : fallback;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

FakeTerminal::FakeTerminal(const FakeTerminalSetup& setup) : setup_(setup), columns_(setup.columns), rows_(setup.rows) {
  winsize size{static_cast<unsigned short>(rows_), static_cast<unsigned short>(columns_), 0, 0};
  if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) std::abort();
  FakeCell blank;
  blank.text = std::string(1, setup.prefill);
  cells_.assign(static_cast<size_t>(columns_) * rows_, blank);
  bottom_ = rows_ - 1;
  reader_ = std::thread([this] { Run(); });
}

FakeTerminal::~FakeTerminal() {
  stop_ = true;
  reader_.join();
  close(slave_);
  close(master_);
}

void FakeTerminal::Run() {
  unsigned char bytes[4096];
  while (!stop_) {
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, 20) != 1) continue;
    ssize_t n = read(master_, bytes, sizeof bytes);
    if (n <= 0) {
      if (ready.revents & POLLHUP) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    std::lock_guard<std::mutex> guard(lock_);
    received_.append(reinterpret_cast<char*>(bytes), static_cast<size_t>(n));
    for (ssize_t i = 0; i < n; ++i) Apply(bytes[i]);
  }
}

void FakeTerminal::Type(const std::string& bytes) {
  if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
}

bool FakeTerminal::Sync() {
  int wanted;
  {
    std::lock_guard<std::mutex> guard(lock_);
    wanted = ++syncsSent_;
  }
  if (write(slave_, SyncMark, sizeof SyncMark - 1) < 0) return false;
  return WaitFor([&] { return syncsSeen_ >= wanted; }, 5000);
}

bool FakeTerminal::WaitFor(const std::function<bool()>& predicate, int milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (predicate()) return true;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

std::string FakeTerminal::Row(int y) const {
  std::string row;
  for (int x = 0; x < columns_; ++x) row += At(x, y).text;
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

void FakeTerminal::Apply(unsigned char b) {
  char fault[64];
  switch (stage_) {
    case Ground:
      if (b == 0x1B) {
        stage_ = Escape;
      } else if (b < 0x20 || b == 0x7F) {
        std::snprintf(fault, sizeof fault, "raw control 0x%02X", b);
        faults_.push_back(fault);
      } else if (b < 0x80) {
        Text(b);
      } else if (b >= 0xC2 && b <= 0xF4) {
        stage_ = Utf8;
        utf8Missing_ = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        codePoint_ = b & (b < 0xE0 ? 0x1F : b < 0xF0 ? 0x0F : 0x07);
      } else {
        std::snprintf(fault, sizeof fault, "stray byte 0x%02X", b);
        faults_.push_back(fault);
      }
      return;
    case Utf8:
      if (b < 0x80 || b > 0xBF) {
        faults_.push_back("broken UTF-8");
        stage_ = Ground;
        return Apply(b);
      }
      codePoint_ = (codePoint_ << 6) | (b & 0x3F);
      if (--utf8Missing_ == 0) {
        stage_ = Ground;
        if (codePoint_ >= 0x80 && codePoint_ < 0xA0) faults_.push_back("C1 control as UTF-8");
        Text(codePoint_);
      }
      return;
    case Escape:
      if (b == '[') {
        stage_ = Csi;
        parameters_.clear();
      } else {
        std::snprintf(fault, sizeof fault, "ESC 0x%02X", b);
        faults_.push_back(fault);
        stage_ = Ground;
      }
      return;
    case Csi:
      if (b >= 0x20 && b <= 0x3F) {
        parameters_ += static_cast<char>(b);
      } else if (b >= 0x40 && b <= 0x7E) {
        stage_ = Ground;
        Sequence(static_cast<char>(b));
      } else {
        faults_.push_back("control inside a sequence");
        stage_ = Ground;
      }
      return;
  }
}

void FakeTerminal::Text(uint32_t codePoint) {
  if (wrapPending_) {
    wrapPending_ = false;
    cursorX_ = 0;
    if (cursorY_ == bottom_)
      ScrollUp(1);
    else if (cursorY_ < rows_ - 1)
      ++cursorY_;
  }
  FakeCell& cell = cells_[static_cast<size_t>(cursorY_) * columns_ + cursorX_];
  cell.text.clear();
  AppendUtf8(cell.text, codePoint);
  cell.foreground = foreground_;
  cell.background = background_;
  if (cursorX_ + 1 < columns_)
    ++cursorX_;
  else
    wrapPending_ = true;
}

void FakeTerminal::ScrollUp(int lines) {
  for (int i = 0; i < lines; ++i) {
    for (int y = top_; y < bottom_; ++y)
      for (int x = 0; x < columns_; ++x)
        cells_[static_cast<size_t>(y) * columns_ + x] = cells_[static_cast<size_t>(y + 1) * columns_ + x];
    for (int x = 0; x < columns_; ++x) {
      FakeCell& cell = cells_[static_cast<size_t>(bottom_) * columns_ + x];
      cell = FakeCell{};
      cell.background = background_;
    }
  }
}

void FakeTerminal::Sequence(char final) {
  std::vector<int> n = Numbers(parameters_);
  std::string sequence = "CSI " + parameters_ + final;
  if (final == 'H' && parameters_.find_first_not_of("0123456789;") == std::string::npos) {
    cursorY_ = std::min(NumberOr(n, 0, 1), rows_) - 1;
    cursorX_ = std::min(NumberOr(n, 1, 1), columns_) - 1;
    wrapPending_ = false;
  } else if (final == 'J' && (parameters_.empty() || parameters_ == "0")) {
    for (size_t i = static_cast<size_t>(cursorY_) * columns_ + cursorX_; i < cells_.size(); ++i) {
      cells_[i] = FakeCell{};
      cells_[i].background = background_;
    }
  } else if (final == 'S') {
    ++scrolls_;
    if (top_ != 0 || bottom_ != rows_ - 1) ++regionScrolls_;
    ScrollUp(std::min(NumberOr(n, 0, 1), bottom_ - top_ + 1));
  } else if (final == 'r') {
    top_ = NumberOr(n, 0, 1) - 1;
    bottom_ = NumberOr(n, 1, rows_) - 1;
    if (top_ >= bottom_ || bottom_ >= rows_) faults_.push_back("bad region " + sequence);
    cursorX_ = cursorY_ = 0;
    wrapPending_ = false;
  } else if (final == 'm') {
    if (n.empty()) n.push_back(0);
    for (int code : n) {
      if (code <= 0) {
        foreground_ = 39;
        background_ = 49;
      } else if ((code >= 30 && code <= 37) || (code >= 90 && code <= 97) || code == 39) {
        foreground_ = code;
      } else if ((code >= 40 && code <= 47) || (code >= 100 && code <= 107) || code == 49) {
        background_ = code;
      } else {
        faults_.push_back("unexpected SGR " + sequence);
      }
    }
  } else if (final == 'n' && parameters_ == "6") {
    if (setup_.answersCursorQuery)
      Type(setup_.beforeAnswer + "\x1b[" + std::to_string(setup_.cursorRow) + ";" +
           std::to_string(setup_.cursorColumn) + "R");
  } else if ((final == 'h' || final == 'l') && parameters_ == "?25") {
  } else if (final == 'z' && parameters_ == "7777") {
    ++syncsSeen_;
  } else {
    faults_.push_back("unknown " + sequence);
  }
}

}  // namespace testing_support
