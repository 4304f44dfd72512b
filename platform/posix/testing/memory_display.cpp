// The memory host: windows that exist only as their records and surfaces, and
// the actions a test takes on them in place of a person.
#include "platform/posix/testing/memory_display.h"

#include <algorithm>

#include "platform/posix/user/display_host.h"
#include "platform/posix/user/message_queue.h"
#include "platform/posix/user/window_placement.h"

namespace win::stand_in {
namespace {

// The pixels under a covering window, or of a minimised one, are gone.
void LosePixels(WindowSurface& surface, const RECT& area) {
  std::lock_guard<ShortLock> guard(surface.lock);
  int left = std::max<int>(area.left, 0), top = std::max<int>(area.top, 0);
  int right = std::min<int>(area.right, surface.width), bottom = std::min<int>(area.bottom, surface.height);
  for (int y = top; y < bottom; ++y)
    std::fill_n(surface.pixels.begin() + static_cast<std::ptrdiff_t>(y) * surface.width + left,
                std::max(right - left, 0), CoveredColour);
}

class MemoryDisplay : public DisplayHost {
 public:
  bool CreateHostWindow(HWND) override { return true; }
  void DestroyHostWindow(HWND) override {}
  void ShowHostWindow(HWND window) override {
    std::shared_ptr<WindowSurface> surface;
    {
      std::lock_guard<std::mutex> guard(UserLock());
      Window* w = FindWindowLocked(window);
      if (!w || !w->minimized) return;
      surface = w->surface;
    }
    LosePixels(*surface, RECT{0, 0, surface->width, surface->height});
  }
  void ProcessEvents() override {}
  void Present() override {}
  int WaitDescriptor() override { return -1; }
  int WaitTimeoutMilliseconds() override { return -1; }
  void ThreadEnded(DWORD) override {}
};

DWORD OwnerOf(HWND window) {
  std::lock_guard<std::mutex> guard(UserLock());
  Window* w = FindWindowLocked(window);
  return w ? w->threadId : 0;
}

}  // namespace

void UseMemoryDisplay(const DisplayMetrics& metrics) {
  static MemoryDisplay* host = new MemoryDisplay;
  CountWindowEvents();
  ReplaceDisplay(host, metrics);
}

void UseNoDisplay(const DisplayMetrics& metrics) {
  CountWindowEvents();
  ReplaceDisplay(nullptr, metrics);
}

void UseX11Display() {
  CountWindowEvents();
  RestoreDisplay();
}

void CoverWindow(HWND window, const RECT& area) {
  std::shared_ptr<WindowSurface> surface;
  {
    std::lock_guard<std::mutex> guard(UserLock());
    Window* w = FindWindowLocked(window);
    if (!w) return;
    surface = w->surface;
  }
  LosePixels(*surface, area);
}

void UncoverWindow(HWND window, const RECT& area) {
  std::lock_guard<std::mutex> guard(UserLock());
  if (Window* w = FindWindowLocked(window)) InvalidateLocked(*w, &area, true);
}

void MinimizeWindow(HWND window) {
  RunOnThread(OwnerOf(window), [window] { ShowOnOwnThread(window, SW_MINIMIZE); });
}

void RestoreWindow(HWND window) {
  RunOnThread(OwnerOf(window), [window] { ShowOnOwnThread(window, SW_RESTORE); });
}

void PressCloseButton(HWND window) {
  RunOnThread(OwnerOf(window), [window] { CallWindowProcedure(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

}  // namespace win::stand_in
