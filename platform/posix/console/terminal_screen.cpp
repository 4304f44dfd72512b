#include "platform/posix/console/terminal_screen.h"

#include <algorithm>
#include <vector>

#include "platform/posix/console/line_screen.h"
#include "platform/posix/console/locale_text.h"
#include "platform/posix/console/terminal_caps.h"

namespace win::stand_in {
namespace {

constexpr size_t MaxScrolls = 32;
constexpr WORD DefaultAttributes = 0x07;  // drawn in the terminal's own colours
constexpr int UnknownPen = -1;

// The columns of a row where the model may differ from the shadow.
struct Span {
  int left = 1, right = 0;  // empty
  bool Empty() const { return left > right; }
};

// Rows by terminal row; scrolling the whole screen turns the ring.
template <typename Row>
struct RowRing {
  std::vector<Row> rows;
  int first = 0;

  Row& operator[](int y) {
    int stored = y + first;
    return rows[static_cast<size_t>(stored >= Size() ? stored - Size() : stored)];
  }
  int Size() const { return static_cast<int>(rows.size()); }
  void Assign(int count, const Row& row) {
    rows.assign(static_cast<size_t>(count), row);
    first = 0;
  }
  // Rows top to bottom move up by `lines`; the rows left at the bottom keep what they held.
  void MoveUp(int top, int bottom, int lines) {
    if (top == 0 && bottom == Size() - 1) {
      first = (first + lines) % Size();
      return;
    }
    for (int y = top; y + lines <= bottom; ++y) std::swap((*this)[y], (*this)[y + lines]);
  }
};

struct Scroll {
  int top, bottom, lines;  // terminal rows
  WORD fill;
};

// What the terminal shows, and where its cursor and pen stand (-1: not known).
// Used under the console's lock.
struct Screen {
  const TerminalCaps* caps = nullptr;
  const LocaleText* text = nullptr;
  int width = 0, height = 0;
  int offset = 0;
  RowRing<std::vector<Cell>> shown;
  RowRing<Span> dirty;
  int dirtyTop = 0, dirtyBottom = -1;  // the rows that may have a dirty span
  std::vector<Scroll> scrolls;         // not yet applied to the terminal and the shadow
  bool clearFirst = false;
  int cursorX = -1, cursorY = -1;
  int pen = UnknownPen;
  std::vector<std::string> moves;  // cursor addressing per cell, made on first use
  std::string foregrounds[16], backgrounds[16];
};

// Made at start and never freed: the way out may still read it.
Screen& screen = *new Screen;

Screen& TheScreen() {
  return screen;
}

const Cell Blank{' ', DefaultAttributes, 437};

void MarkRows(Screen& s, int top, int bottom) {
  s.dirtyTop = std::min(s.dirtyTop, top);
  s.dirtyBottom = std::max(s.dirtyBottom, bottom);
}

void MarkAll(Screen& s) {
  s.dirty.Assign(s.height, Span{0, s.width - 1});
  s.dirtyTop = 0;
  s.dirtyBottom = s.height - 1;
}

// Console colour bits are blue 1, green 2, red 4; the terminal's red 1, green 2, blue 4.
int TerminalColour(int colour) {
  return ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2) | (colour & 8);
}

// The pen a cell is drawn with.
int PenOf(const Screen& s, WORD attributes) {
  return s.caps->colours == 0 ? DefaultAttributes : attributes & 0xFF;
}

void SetPen(std::string& out, Screen& s, WORD attributes) {
  int wanted = PenOf(s, attributes);
  if (wanted == s.pen) return;
  const TerminalCaps& caps = *s.caps;
  int foreground = wanted & 0x0F, background = wanted >> 4;
  bool eight = caps.colours < 16;
  // Only a reset takes bold away, and only a reset gives the default colours.
  bool reset = s.pen == UnknownPen || wanted == DefaultAttributes || s.pen == DefaultAttributes ||
               (eight && (s.pen & 0x08) && !(foreground & 8));
  if (reset) {
    out += caps.resetAttributes;
    s.pen = DefaultAttributes;
    if (wanted == DefaultAttributes) return;
  }
  int shownForeground = s.pen == DefaultAttributes && reset ? -1 : s.pen & 0x0F;
  int shownBackground = s.pen == DefaultAttributes && reset ? -1 : s.pen >> 4;
  if (foreground != shownForeground) {
    if (eight && (foreground & 8) && !(shownForeground >= 0 && (shownForeground & 8))) out += caps.bold;
    out += s.foregrounds[TerminalColour(eight ? foreground & 7 : foreground)];
  }
  if (background != shownBackground) out += s.backgrounds[TerminalColour(eight ? background & 7 : background)];
  s.pen = wanted;
}

void MoveCursor(std::string& out, Screen& s, int x, int y) {
  if (s.cursorX == x && s.cursorY == y) return;
  if (s.cursorY == y && x == 0 && !s.caps->carriageReturn.empty()) {
    out += s.caps->carriageReturn;
  } else {
    std::string& move = s.moves[static_cast<size_t>(y) * s.width + x];
    if (move.empty()) move = Apply(s.caps->cursorAddress, y, x);
    out += move;
  }
  s.cursorX = x;
  s.cursorY = y;
}

bool SameLook(const Cell& a, const Cell& b, const LocaleText& text) {
  if ((a.attributes & 0xFF) != (b.attributes & 0xFF)) return false;
  if (a.character == b.character && (static_cast<unsigned char>(a.character) < 0x80 || a.codePage == b.codePage))
    return true;
  return text.Glyph(static_cast<unsigned char>(a.character), a.codePage) ==
         text.Glyph(static_cast<unsigned char>(b.character), b.codePage);
}

void AppendGlyph(std::string& out, const LocaleText& text, const Cell& cell) {
  auto byte = static_cast<unsigned char>(cell.character);
  if (byte >= 0x20 && byte < 0x7F)
    out += static_cast<char>(byte);  // the same in every code page and locale
  else
    out += text.Glyph(byte, cell.codePage);
}

// A terminal that wraps at once scrolls when its last cell is written; that cell stays blank there.
bool Writable(const Screen& s, int x, int y) {
  return !(s.caps->autoWrap && !s.caps->lateWrap && x == s.width - 1 && y == s.height - 1);
}

void EmitCell(std::string& out, Screen& s, int x, int y, const Cell& cell) {
  MoveCursor(out, s, x, y);
  SetPen(out, s, cell.attributes);
  AppendGlyph(out, *s.text, cell);
  // After the last column the terminal waits to wrap; where it stands then differs between terminals.
  s.cursorX = x + 1 < s.width ? x + 1 : -1;
}

const Cell& ModelCell(const ScreenBuffer& c, const Screen& s, int x, int y) {
  int row = y + s.offset;
  if (x >= c.width || row >= c.height) return Blank;
  return c.At(x, row);
}

// Unchanged cells just before a changed one are written again when that is
// shorter than moving the cursor over them.
void FillShortGap(std::string& out, Screen& s, const ScreenBuffer& c, int x, int y) {
  constexpr int MaxGap = 4;
  if (s.cursorY != y || s.cursorX < 0 || s.cursorX >= x || x - s.cursorX > MaxGap) return;
  for (int g = s.cursorX; g < x; ++g)
    if ((ModelCell(c, s, g, y).attributes & 0xFF) != s.pen) return;
  for (int g = s.cursorX; g < x; ++g) {
    const Cell& cell = ModelCell(c, s, g, y);
    AppendGlyph(out, *s.text, cell);
    s.shown[y][static_cast<size_t>(g)] = cell;
  }
  s.cursorX = x;
}

void EmitScroll(std::string& out, Screen& s, const Scroll& scroll) {
  const TerminalCaps& caps = *s.caps;
  // The lines brought in take the pen's background where the terminal erases in it.
  WORD blankAttributes = caps.backgroundErase ? scroll.fill : DefaultAttributes;
  SetPen(out, s, blankAttributes);
  bool whole = scroll.top == 0 && scroll.bottom == s.height - 1;
  if (!whole) {
    out += Apply(caps.scrollRegion, scroll.top, scroll.bottom);
    s.cursorX = s.cursorY = -1;
  }
  MoveCursor(out, s, 0, scroll.bottom);
  if (scroll.lines > 1 && !caps.scrollForwardBy.empty()) {
    out += Apply(caps.scrollForwardBy, scroll.lines);
  } else {
    for (int i = 0; i < scroll.lines; ++i) out += caps.scrollForward;
    // A line feed may also have returned the carriage.
    out += caps.carriageReturn;
  }
  if (!whole) {
    out += Apply(caps.scrollRegion, 0, s.height - 1);
    s.cursorX = s.cursorY = -1;
  }
  s.shown.MoveUp(scroll.top, scroll.bottom, scroll.lines);
  for (int y = scroll.bottom + 1 - scroll.lines; y <= scroll.bottom; ++y)
    std::fill(s.shown[y].begin(), s.shown[y].end(), Cell{' ', blankAttributes, 437});
}

void Allocate(Screen& s, int width, int height) {
  s.width = width;
  s.height = height;
  s.shown.Assign(height, std::vector<Cell>(static_cast<size_t>(width), Blank));
  s.dirty.Assign(height, Span{});
  s.dirtyTop = height;
  s.dirtyBottom = -1;
  s.scrolls.clear();
  s.moves.assign(static_cast<size_t>(width) * height, std::string());
}

}  // namespace

void StartScreen(const TerminalCaps& caps, const LocaleText& text, int width, int height, const ScreenBuffer& model,
                 std::string& out) {
  Screen& s = TheScreen();
  s = Screen{};
  s.caps = &caps;
  s.text = &text;
  if (!caps.addressable) return StartLines(caps, text, model);
  Allocate(s, width, height);
  for (int i = 0; i < 16; ++i) {
    s.foregrounds[i] = Apply(caps.foreground, i);
    s.backgrounds[i] = Apply(caps.background, i);
  }
  // The host believes the screen blank from the cursor on; make it so.
  SetPen(out, s, DefaultAttributes);
  MoveCursor(out, s, model.cursor.X, model.cursor.Y);
  if (!caps.clearToEnd.empty()) {
    out += caps.clearToEnd;
  } else {
    // Without an erase, those rows are written over with blanks: the shadow
    // holds a look no model cell has, so every cell differs.
    const Cell unknown{'\x01', 0xFF, 0};
    for (int y = model.cursor.Y; y < height; ++y) {
      s.dirty[y] = Span{0, width - 1};
      std::fill(s.shown[y].begin(), s.shown[y].end(), unknown);
    }
    MarkRows(s, model.cursor.Y, height - 1);
  }
}

void ScreenCellsChanged(int left, int top, int right, int bottom) {
  Screen& s = TheScreen();
  if (!s.caps->addressable) return;
  int y = top - s.offset;
  if (top == bottom && y >= 0 && y < s.height && left >= 0 && right < s.width) {  // a run of output
    MarkRows(s, y, y);
    Span& span = s.dirty[y];
    span = span.Empty() ? Span{left, right} : Span{std::min(span.left, left), std::max(span.right, right)};
    return;
  }
  top = std::max(top - s.offset, 0);
  bottom = std::min(bottom - s.offset, s.height - 1);
  left = std::max(left, 0);
  right = std::min(right, s.width - 1);
  if (left > right || top > bottom) return;
  MarkRows(s, top, bottom);
  for (int y = top; y <= bottom; ++y) {
    Span& span = s.dirty[y];
    if (span.Empty()) span = {left, right};
    span = {std::min(span.left, left), std::max(span.right, right)};
  }
}

void ScreenScrolledUp(const ScreenBuffer& c, int top, int bottom, int lines) {
  Screen& s = TheScreen();
  if (!s.caps->addressable) return LinesScrolledUp(top, bottom, lines);
  bool belowView = bottom - s.offset > s.height - 1;
  top = std::max(top - s.offset, 0);
  bottom = std::min(bottom - s.offset, s.height - 1);
  if (top > bottom || lines <= 0 || s.clearFirst) return;
  lines = std::min(lines, bottom - top + 1);
  const Span wholeRow{0, s.width - 1};
  bool partial = top != 0 || bottom != s.height - 1;
  if (partial && s.caps->scrollRegion.empty()) {
    for (int y = top; y <= bottom; ++y) s.dirty[y] = wholeRow;
    MarkRows(s, top, bottom);
    return;
  }
  const Cell& filled = ModelCell(c, s, 0, bottom);
  WORD fill = filled.attributes & 0xFF;
  // The terminal brings in blank lines, in the default colours where it cannot
  // erase in others. The console fills only the rows that moved away: rows
  // above them that nothing moved into keep their cells.
  bool blankAsModel = filled.character == ' ' && (s.caps->backgroundErase || fill == DefaultAttributes) && !belowView;
  Span fillSpan = blankAsModel ? Span{} : wholeRow;
  s.dirty.MoveUp(top, bottom, lines);
  for (int y = bottom + 1 - lines; y <= bottom; ++y) s.dirty[y] = y < top + lines ? wholeRow : fillSpan;
  // Dirty rows move up with the scroll, or leave the screen; the rows brought in may be dirty.
  bool whole = top == 0 && bottom == s.height - 1;
  if (whole && s.dirtyTop <= s.dirtyBottom) {
    s.dirtyTop = std::max(s.dirtyTop - lines, 0);
    s.dirtyBottom -= lines;
    if (s.dirtyBottom < s.dirtyTop) s.dirtyTop = s.height, s.dirtyBottom = -1;
  } else {
    MarkRows(s, top, bottom);
  }
  MarkRows(s, bottom + 1 - lines, bottom);
  if (!s.scrolls.empty()) {
    Scroll& last = s.scrolls.back();
    if (last.top == top && last.bottom == bottom && last.fill == fill) {
      last.lines = std::min(last.lines + lines, bottom - top + 1);
      return;
    }
  }
  if (s.scrolls.size() < MaxScrolls) {
    s.scrolls.push_back({top, bottom, lines, fill});
    return;
  }
  // Too many different scrolls: leave the terminal as it is and redraw what differs.
  s.scrolls.clear();
  MarkAll(s);
}

void DrawScreen(const ScreenBuffer& c, std::string& out) {
  Screen& s = TheScreen();
  if (!s.caps->addressable) return DrawLines(c, out);
  // The cursor's row stays in view.
  int wantedOffset = std::clamp<int>(s.offset, std::max(0, c.cursor.Y - (s.height - 1)), c.cursor.Y);
  if (wantedOffset != s.offset) {
    s.offset = wantedOffset;
    RepaintScreen();
  }
  if (s.clearFirst) {
    s.clearFirst = false;
    SetPen(out, s, DefaultAttributes);
    out += s.caps->clear;
    s.cursorX = s.cursorY = -1;
    for (auto& row : s.shown.rows) std::fill(row.begin(), row.end(), Blank);
  }
  for (const Scroll& scroll : s.scrolls) EmitScroll(out, s, scroll);
  s.scrolls.clear();
  int dirtyBottom = std::min(s.dirtyBottom, s.height - 1);
  for (int y = std::max(s.dirtyTop, 0); y <= dirtyBottom; ++y) {
    Span span = s.dirty[y];
    s.dirty[y] = Span{};
    std::vector<Cell>& shownRow = s.shown[y];
    int modelRow = y + s.offset;
    const Cell* modelCells = modelRow < c.height ? c.Row(modelRow) : nullptr;
    for (int x = span.left; x <= span.right; ++x) {
      const Cell& wanted = modelCells && x < c.width ? modelCells[x] : Blank;
      Cell& shown = shownRow[static_cast<size_t>(x)];
      auto byte = static_cast<unsigned char>(wanted.character);
      bool plain = byte >= 0x20 && byte < 0x7F;
      if (plain && wanted.character == shown.character && (wanted.attributes & 0xFF) == (shown.attributes & 0xFF))
        continue;
      // A character of a run: the cursor and the pen are where they need to be.
      if (plain && s.cursorX == x && s.cursorY == y && PenOf(s, wanted.attributes) == s.pen && Writable(s, x, y)) {
        out += wanted.character;
        s.cursorX = x + 1 < s.width ? x + 1 : -1;
        shown = wanted;
        continue;
      }
      if (SameLook(wanted, shown, *s.text) || !Writable(s, x, y)) continue;
      FillShortGap(out, s, c, x, y);
      EmitCell(out, s, x, y, wanted);
      shown = wanted;
    }
  }
  s.dirtyTop = s.height;
  s.dirtyBottom = -1;
  int cursorY = c.cursor.Y - s.offset;
  if (c.cursor.X < s.width && cursorY >= 0 && cursorY < s.height) MoveCursor(out, s, c.cursor.X, cursorY);
}

void ScreenSizeChanged(const ScreenBuffer& c, int width, int height) {
  Screen& s = TheScreen();
  if (!s.caps->addressable) return;
  Allocate(s, width, height);
  s.offset = std::max(0, c.cursor.Y - (height - 1));
  RepaintScreen();
}

void RepaintScreen() {
  Screen& s = TheScreen();
  if (!s.caps->addressable) return RepaintLines();
  s.clearFirst = true;
  s.scrolls.clear();
  s.pen = UnknownPen;
  s.cursorX = s.cursorY = -1;
  MarkAll(s);
}

void TerminalSize(int& width, int& height) {
  width = TheScreen().width;
  height = TheScreen().height;
}

int ScreenOffset() {
  return TheScreen().offset;
}

void ModelFollowedScreen() {
  TheScreen().offset = 0;
}

std::string DefaultPenBytes(const TerminalCaps& caps) {
  return caps.resetAttributes;
}

}  // namespace win::stand_in
