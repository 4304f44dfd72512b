// The outer edge of the window manager: a host that shows windows, the X
// display unless something else was put in its place before the start-up.
#pragma once

#include "platform/posix/user/window_record.h"

namespace win::stand_in {

// Screen and frame metrics as GetSystemMetrics reports them.
struct DisplayMetrics {
  int screenWidth = 1024;      // SM_CXSCREEN
  int screenHeight = 768;      // SM_CYSCREEN
  int frameWidth = 4;          // SM_CXFRAME
  int frameHeight = 4;         // SM_CYFRAME
  int captionHeight = 19;      // SM_CYCAPTION
  int fullScreenWidth = 1024;  // SM_CXFULLSCREEN: client width of a maximised window
  int fullScreenHeight = 749;  // SM_CYFULLSCREEN
};

class DisplayHost {
 public:
  virtual ~DisplayHost() = default;
  // The host's side of a new window whose record and surface are filled in;
  // called on the creating thread with UserLock() not held. False: no display.
  virtual bool CreateHostWindow(HWND window) = 0;
  // A window (and with it its children) goes away; called on its thread.
  virtual void DestroyHostWindow(HWND window) = 0;
  // The window's visible, minimised, maximised state or size changed.
  virtual void ShowHostWindow(HWND window) = 0;
  // Called by GetMessageA on the calling thread: turn what happened on the
  // display into update regions and messages; show what was drawn.
  virtual void ProcessEvents() = 0;
  virtual void Present() = 0;
  // What GetMessageA waits on besides its queue: a descriptor (-1: none) and
  // the longest wait (-1: none) while drawings may be pending.
  virtual int WaitDescriptor() = 0;
  virtual int WaitTimeoutMilliseconds() = 0;
  // The thread ends; its windows are being removed without messages.
  virtual void ThreadEnded(DWORD threadId) = 0;
};

// A host in place of the X display (null: no display at all) with the metrics
// it reports, or the X display back; chosen before the windows' start-up.
void ReplaceDisplay(DisplayHost* host, const DisplayMetrics& metrics);
void RestoreDisplay();

// The host in place, or null when there is no display at all.
DisplayHost* ActiveHost();
// The metrics chosen with a replacement host, or null when the display decides.
const DisplayMetrics* ChosenMetrics();

DisplayHost* X11Host();
// Whether DISPLAY names an X display; without one there is no display at all.
bool DisplayNamed();
// The X screen's size when a display can be opened (asked once).
bool X11ScreenSize(int& width, int& height);

}  // namespace win::stand_in
