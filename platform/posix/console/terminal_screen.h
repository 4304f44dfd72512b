// The console model drawn on a terminal that has cursor addressing. A shadow
// keeps what the terminal shows; a present turns the model's scrolls since the
// last one into the terminal's own scrolling and the cells that differ from the
// shadow into cursor moves, colours and the locale's characters.
//
// The terminal may be smaller or larger than the model for a while after a
// size change (the model takes the new size when the program next asks for it):
// terminal row 0 then shows model row `offset`, chosen so the cursor's row is seen.
#pragma once

#include <string>

#include "platform/posix/console/screen_buffer.h"

namespace win::stand_in {

struct TerminalCaps;
struct LocaleText;

// The terminal shows `width` x `height` cells and its cursor stands where the
// model's does; the bytes added to `out` clear the rows from the cursor on.
void StartScreen(const TerminalCaps& caps, const LocaleText& text, int width, int height, const ScreenBuffer& model,
                 std::string& out);
void ScreenCellsChanged(int left, int top, int right, int bottom);  // model coordinates, inclusive
void ScreenScrolledUp(const ScreenBuffer& model, int top, int bottom, int lines);
// Appends what brings the terminal up to the model.
void DrawScreen(const ScreenBuffer& model, std::string& out);
// The terminal now has another size, or shows something else: clear it and draw everything again.
void ScreenSizeChanged(const ScreenBuffer& model, int width, int height);
void RepaintScreen();
void TerminalSize(int& width, int& height);
// The model was resized to the terminal's size, keeping the rows the terminal shows.
int ScreenOffset();
void ModelFollowedScreen();

// Colours, attributes and wrap back to the terminal's defaults.
std::string DefaultPenBytes(const TerminalCaps& caps);

}  // namespace win::stand_in
