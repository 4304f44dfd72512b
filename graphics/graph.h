// The graphics interface's operations: results, viewport, defaults, modes and
// initialisation, text.
#pragma once

#include <cstdint>

#include "graphics/graph_state.h"
#include "graphics/mode_list.h"

namespace graph {

int16_t GraphResult();
int16_t GetMaxX();
int16_t GetMaxY();
uint16_t GetMaxColor();
void SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip);
void GetViewSettings(ViewPortType& viewport);
void GetLineSettings(LineSettingsType& settings);
void SetLineStyle(uint16_t lineStyle, uint16_t pattern, uint16_t thickness);
void GraphDefaults();
void DefaultHooks();

void InitGraph(int16_t& driver, int16_t& mode, const ShortString& path);
void SetGraphMode(int16_t mode);
// Module initialisation of the graphics interface.
void GraphInit();
void InitializeGraph();
void GraphExitProc();
extern void (*ExitSave)();  // the exit procedure installed before GraphExitProc

void OutText(const ShortString& text);
uint16_t TextWidth(const ShortString& text);
uint16_t TextHeight(const ShortString& text);
void GetTextPosition(int32_t& xOffset, int32_t& yOffset, const ShortString& text);
ShortString ConvertString(const ShortString& text);
int16_t InstallUserFont(const ShortString& name);

}  // namespace graph
