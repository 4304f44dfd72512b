// Text in the built-in 8 x 8 font: each character's glyph is rendered once per
// direction into a small bitmap, then transferred to the targets, enlarged by
// the character size, in white or in the current colour over an untouched
// background, clipped to the viewport.
#include "graphics/graph.h"
#include "graphics/window_driver/drawing_targets.h"
#include "graphics/window_driver/win32gui.h"
#include "runtime/system.h"
#include "runtime/text_stream.h"

namespace graph {

namespace {

constexpr win::DWORD AndNotSource = 0x00220326u;      // D := D and not S
constexpr win::DWORD BrushWhereSource = 0x00EA02E9u;  // D := D or (P and S)
constexpr win::COLORREF Ink = 0x00FFFFFFu;

// The glyph of ch, upright or turned a quarter counter-clockwise, made on first
// use; 0 when its bitmap cannot be created (the entry stays empty, so the next
// use tries again). Under the lock.
win::HBITMAP CachedGlyph(win::HDC memoryDC, uint8_t ch, bool vertical) {
  win::HBITMAP* cache = vertical ? BitmapFontVerticalCache : BitmapFontHorizonCache;
  if (cache[ch] != nullptr) return cache[ch];
  win::HBITMAP glyph = win::CreateCompatibleBitmap(WinDC, 8, 8);
  if (glyph == nullptr) return nullptr;
  win::HGDIOBJ previous = win::SelectObject(memoryDC, glyph);
  const uint8_t* pixels = &DefaultFontData[64 * ch];
  for (int32_t r = 0; r < 8; ++r) {
    for (int32_t k = 0; k < 8; ++k) {
      win::COLORREF c = pixels[8 * r + k] != 0 ? Ink : 0;
      if (vertical) {
        win::SetPixelV(memoryDC, r, 7 - k, c);
      } else {
        win::SetPixelV(memoryDC, k, r, c);
      }
    }
  }
  win::SelectObject(memoryDC, previous);
  cache[ch] = glyph;
  return glyph;
}

// One transfer of the glyph selected into memoryDC onto a target's cell.
void Transfer(win::HDC target, int32_t x, int32_t y, int32_t size, win::HDC memoryDC, win::DWORD rop) {
  if (size == 1) {
    win::BitBlt(target, x, y, 8, 8, memoryDC, 0, 0, rop);
  } else {
    win::StretchBlt(target, x, y, 8 * size, 8 * size, memoryDC, 0, 0, 8, 8, rop);
  }
}

// White glyphs are OR-ed in; any other colour first clears the ink pixels,
// then ORs the brush in where the glyph has ink.
void GlyphOnTarget(win::HDC target, int32_t x, int32_t y, int32_t size, win::HDC memoryDC, bool white) {
  if (white) {
    Transfer(target, x, y, size, memoryDC, SRCPAINT);
    return;
  }
  Transfer(target, x, y, size, memoryDC, AndNotSource);
  Transfer(target, x, y, size, memoryDC, BrushWhereSource);
}

win::HRGN ClipToViewport(win::HDC target) {
  win::HRGN region = win::CreateRectRgn(StartXViewPort, StartYViewPort, int32_t{StartXViewPort} + ViewWidth + 1,
                                        int32_t{StartYViewPort} + ViewHeight + 1);
  win::SelectClipRgn(target, region);
  return region;
}

// The cells of n characters from the anchor (absolute), within the viewport.
void MarkTextDrawn(int32_t x, int32_t y, int32_t n, int32_t size, bool vertical) {
  int32_t length = 8 * size * n, height = 8 * size;
  int32_t left = x, top = vertical ? y + 1 - length : y;
  int32_t right = x + (vertical ? height : length), bottom = vertical ? y + 1 : y + height;
  int32_t viewRight = int32_t{StartXViewPort} + ViewWidth + 1, viewBottom = int32_t{StartYViewPort} + ViewHeight + 1;
  if (left < StartXViewPort) left = StartXViewPort;
  if (top < StartYViewPort) top = StartYViewPort;
  if (right > viewRight) right = viewRight;
  if (bottom > viewBottom) bottom = viewBottom;
  if (left < right && top < bottom) MarkDrawn(left, top, right, bottom);
}

void Unclip(win::HDC target, win::HRGN region) {
  win::SelectClipRgn(target, nullptr);
  win::DeleteObject(region);
}

// The string at its anchor (viewport coordinates, inside the viewport), under
// the lock. Returns the number of glyphs whose bitmap could not be made.
int32_t DrawGlyphs(int16_t anchorX, int16_t anchorY, const ShortString& text) {
  int32_t failures = 0;
  int32_t size = CurrentTextInfo.CharSize;
  bool vertical = CurrentTextInfo.Direction != 0;
  bool white = CurrentColor == 15;
  win::HDC memoryDC = win::CreateCompatibleDC(WinDC);

  win::HBRUSH screenBrush = nullptr, bitmapBrush = nullptr;
  win::HGDIOBJ savedScreenBrush = nullptr, savedBitmapBrush = nullptr;
  if (!white) {
    win::COLORREF c = PaletteColor(CurrentColor);
    if (DrawToScreen) {
      screenBrush = win::CreateSolidBrush(c);
      savedScreenBrush = win::SelectObject(WinDC, screenBrush);
    }
    if (DrawToBitmap) {
      bitmapBrush = win::CreateSolidBrush(c);
      savedBitmapBrush = win::SelectObject(BitmapDC, bitmapBrush);
    }
  }

  int32_t x = int32_t{anchorX} + StartXViewPort;
  int32_t y = int32_t{anchorY} + StartYViewPort;
  win::HRGN screenClip = DrawToScreen ? ClipToViewport(WinDC) : nullptr;
  win::HRGN bitmapClip = DrawToBitmap ? ClipToViewport(BitmapDC) : nullptr;

  for (int32_t i = 0; i < text.length; ++i) {
    uint8_t ch = static_cast<uint8_t>(text.chars[i]);
    // Vertical text reads upwards: the anchor is the first character's bottom row.
    int32_t cellX = vertical ? x : x + 8 * size * i;
    int32_t cellY = vertical ? y + 1 - 8 * size * (i + 1) : y;
    win::HBITMAP glyph = CachedGlyph(memoryDC, ch, vertical);
    if (glyph == nullptr) {
      // The cell is left as it was.
      ++failures;
      continue;
    }
    win::HGDIOBJ previous = win::SelectObject(memoryDC, glyph);
    if (DrawToScreen) GlyphOnTarget(WinDC, cellX, cellY, size, memoryDC, white);
    if (DrawToBitmap) GlyphOnTarget(BitmapDC, cellX, cellY, size, memoryDC, white);
    win::SelectObject(memoryDC, previous);
  }

  if (!white) {
    if (DrawToScreen) win::SelectObject(WinDC, savedScreenBrush);
    if (DrawToBitmap) win::SelectObject(BitmapDC, savedBitmapBrush);
    if (screenBrush != nullptr) win::DeleteObject(screenBrush);
    if (bitmapBrush != nullptr) win::DeleteObject(bitmapBrush);
  }
  MarkTextDrawn(x, y, text.length, size, vertical);
  if (DrawToScreen) Unclip(WinDC, screenClip);
  if (DrawToBitmap) Unclip(BitmapDC, bitmapClip);
  win::DeleteDC(memoryDC);
  return failures;
}

// One write statement on Output per glyph that failed. Written after the lock
// is released: a failing I/O check ends the program through the exit sequence,
// which may close the graph and wait for the window thread, and that thread
// needs the lock for the window's destruction.
void ReportGlyphFailures(int32_t failures) {
  static const ShortString message("Bitmap konnte nicht erzeugt werden!");
  for (int32_t n = 0; n < failures; ++n) {
    rtl::TextRec& out = rtl::GetOutput();
    rtl::WriteShortStr(0, out, message);
    rtl::IOCheck();
    rtl::WriteLnEnd(out);
    rtl::IOCheck();
  }
}

}  // namespace

// A stroked font (Font other than 0) is never selected in this system and none
// can be loaded, so such text draws nothing.
void OutTextXYWin32GUI(int16_t x, int16_t y, const ShortString& text) {
  if (!GraphWindowRunning()) return;
  int16_t savedWriteMode = CurrentWriteMode;
  CurrentWriteMode = 0;
  int32_t xOffset = 0, yOffset = 0;
  GetTextPosition(xOffset, yOffset, text);
  int16_t anchorX =
      static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(x) - static_cast<uint32_t>(xOffset)));
  int16_t anchorY =
      static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(y) + static_cast<uint32_t>(yOffset)));
  int32_t failures = 0;
  bool inside = anchorX >= 0 && anchorY >= 0 && anchorX <= ViewWidth && anchorY <= ViewHeight;
  if (CurrentTextInfo.Font == 0 && inside && EnterGraphDrawing()) {
    failures = DrawGlyphs(anchorX, anchorY, text);
    LeaveGraphDrawing();
  }
  CurrentWriteMode = savedWriteMode;
  ReportGlyphFailures(failures);
}

}  // namespace graph
