#include "platform/posix/console/line_screen.h"

#include <algorithm>

#include "platform/posix/console/locale_text.h"
#include "platform/posix/console/terminal_caps.h"

namespace win::stand_in {
namespace {

struct Lines {
  const TerminalCaps* caps = nullptr;
  const LocaleText* text = nullptr;
  int row = 0;        // the model row the terminal's line shows
  std::string shown;  // the bytes on that line
};

Lines& TheLines() {
  static Lines* lines = new Lines;
  return *lines;
}

std::string RowText(const ScreenBuffer& c, int y) {
  std::string row;
  const Cell* cells = c.Row(y);
  int end = c.width;
  while (end > 0 && cells[end - 1].character == ' ') --end;
  for (int x = 0; x < end; ++x) {
    const Cell& cell = cells[x];
    row += TheLines().text->Glyph(static_cast<unsigned char>(cell.character), cell.codePage);
  }
  return row;
}

void NewLine(std::string& out) {
  const TerminalCaps& caps = *TheLines().caps;
  out += caps.carriageReturn.empty() ? "\r" : caps.carriageReturn;
  out += caps.scrollForward.empty() ? "\n" : caps.scrollForward;
}

}  // namespace

void StartLines(const TerminalCaps& caps, const LocaleText& text, const ScreenBuffer& model) {
  Lines& l = TheLines();
  l = Lines{};
  l.caps = &caps;
  l.text = &text;
  l.row = model.cursor.Y;
}

void LinesScrolledUp(int top, int, int lines) {
  if (top == 0) TheLines().row -= lines;
}

void DrawLines(const ScreenBuffer& c, std::string& out) {
  Lines& l = TheLines();
  int last = std::max<int>(c.cursor.Y, 0);
  // Rows that scrolled away unseen are gone; the line goes on from the first row still there.
  for (int y = std::max(l.row, 0); y <= last; ++y) {
    std::string row = RowText(c, y);
    if (y != l.row) {
      NewLine(out);
      l.shown.clear();
      l.row = y;
    }
    if (row == l.shown) continue;
    if (row.compare(0, l.shown.size(), l.shown) == 0) {
      out.append(row, l.shown.size());
    } else {
      // Rewritten from the start, blanks over what it no longer has.
      out += l.caps->carriageReturn.empty() ? "\r" : l.caps->carriageReturn;
      out += row;
      if (l.shown.size() > row.size()) out += std::string(l.shown.size() - row.size(), ' ');
    }
    l.shown = row;
  }
}

void RepaintLines() {
  TheLines().shown.clear();
}

}  // namespace win::stand_in
