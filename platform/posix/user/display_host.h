// The outer edge of the window manager: a host that shows windows (X11) or
// keeps them in memory (tests), chosen once at start-up.
#pragma once

#include "platform/posix/user/memory_display.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {

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

// The memory host, the X11 host, or null when there is no display at all.
DisplayHost* ActiveHost();
// The metrics a test chose with its host, or null when the display decides.
const DisplayMetrics* ChosenMetrics();

DisplayHost* MemoryHost();
DisplayHost* X11Host();
// The X screen's size when a display can be opened (asked once).
bool X11ScreenSize(int& width, int& height);

}  // namespace win::stand_in
