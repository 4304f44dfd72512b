// The console model on a terminal without cursor addressing (an unknown
// terminal, TERM=dumb): plain lines. The terminal's line follows the model's
// cursor row; a row the cursor leaves is finished with a new line, a change
// within the current row rewrites it from the carriage return.
#pragma once

#include <string>

#include "platform/posix/console/screen_buffer.h"

namespace win::stand_in {

struct TerminalCaps;
struct LocaleText;

void StartLines(const TerminalCaps& caps, const LocaleText& text, const ScreenBuffer& model);
void LinesScrolledUp(int top, int bottom, int lines);
void DrawLines(const ScreenBuffer& model, std::string& out);
void RepaintLines();

}  // namespace win::stand_in
