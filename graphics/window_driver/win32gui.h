// The windowed driver's operations and state, as the mode records and the
// graphics interface reach them.
#pragma once

#include <cstdint>

#include "graphics/graph_driver.h"
#include "graphics/graph_state.h"
#include "graphics/mode_list.h"
#include "platform/win.h"

namespace graph {

// The driver as the graphics interface takes it: its mode table and its close.
extern const GraphDriver Win32GUI;

// Mode table.
PModeInfo QueryAdapterInfo();
void SetupWin32GUIDefault(TModeInfo& mode);
void SaveState();
void RestoreState();

// Graph window and its thread.
using MessageHandler = win::LRESULT (*)(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);
extern MessageHandler CharMessageHandler;
extern MessageHandler MouseMessageHandler;
extern MessageHandler CommandMessageHandler;
extern MessageHandler NotifyMessageHandler;
extern void (*OnGraphWindowCreation)();
void ClearMessageHandlers();

extern win::DWORD GraphWindowStyle;
extern const char* WindowTitle;
extern win::LPCSTR Menu;
extern win::HICON Icon;
extern bool DrawToScreen, DrawToBitmap;
extern bool UseChildWindow;
extern win::RECT ChildOffset;
extern bool WinRegistered;

// Drawing operations test GraphRunning first without the lock, and again after
// taking GraphDrawing: the window's destruction clears it and releases the
// device contexts while holding the lock, so a call that finds it still set
// under the lock has live BitmapDC and WinDC until it leaves.
extern win::HWND GraphWindow, ParentWindow;
extern win::HDC BitmapDC, WinDC;
extern win::HBITMAP SavedScreen, OldBitmap;
extern win::HPEN Pens[16];
extern win::HBITMAP BitmapFontHorizonCache[256];
extern win::HBITMAP BitmapFontVerticalCache[256];
extern RGBRec* Pal;
extern win::DWORD ExtraStyle;
// Read and written with the __atomic builtins: two threads meet on it without the lock.
extern volatile bool GraphRunning;
extern win::CRITICAL_SECTION GraphDrawing;
extern win::HANDLE MessageThreadHandle;
extern win::DWORD MessageThreadID;

void InitWin32GUI16Colors();
void CloseGraph();
void SetVisualWin32GUI(uint16_t page);
void SetActiveWin32GUI(uint16_t page);

// The window thread's start routine, its class registration and window creation.
win::DWORD WINAPI MessageHandleThread(win::LPVOID parameter);
bool WinRegister();
bool WinRegisterWithChild();
win::HWND WinCreate();
win::LRESULT CALLBACK WindowProcGraph(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);
win::LRESULT CALLBACK WindowProcParent(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);

// Pixels, spans, palette.
void PutPixel16Win32GUI(int16_t x, int16_t y, uint16_t color);
uint16_t GetPixel16Win32GUI(int16_t x, int16_t y);
void DirectPutPixel16Win32GUI(int16_t x, int16_t y);
void HLine16Win32GUI(int16_t x, int16_t x2, int16_t y);
void VLine16Win32GUI(int16_t x, int16_t y, int16_t y2);
void SetRGBPaletteWin32GUI(int16_t colorNum, int16_t red, int16_t green, int16_t blue);
void GetRGBPaletteWin32GUI(int16_t colorNum, int16_t& red, int16_t& green, int16_t& blue);
uint16_t GetPaletteEntry(uint16_t red, uint16_t green, uint16_t blue);

// Bitmap-font text.
extern const uint8_t DefaultFontData[256 * 64];
void OutTextXYWin32GUI(int16_t x, int16_t y, const ShortString& text);

}  // namespace graph
