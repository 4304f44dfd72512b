// Screen and frame metrics. The screen size comes from the host's display; the
// frame and caption sizes are those of a typical desktop theme at 96 dpi
// (4-pixel sizing frame, 19-pixel caption), since an X window manager's
// decoration is not known before a window exists.
#include "platform/posix/user/display_host.h"
#include "platform/posix/user/user_api.h"

namespace win {
using namespace stand_in;

namespace {

DisplayMetrics CurrentMetrics() {
  if (const DisplayMetrics* chosen = ChosenMetrics()) return *chosen;
  DisplayMetrics metrics;
  int width, height;
  if (X11ScreenSize(width, height)) {
    metrics.screenWidth = width;
    metrics.screenHeight = height;
    metrics.fullScreenWidth = width;
    metrics.fullScreenHeight = height - metrics.captionHeight;
  }
  return metrics;
}

}  // namespace

int WINAPI GetSystemMetrics(int nIndex) {
  DisplayMetrics m = CurrentMetrics();
  switch (nIndex) {
    case SM_CXSCREEN:
      return m.screenWidth;
    case SM_CYSCREEN:
      return m.screenHeight;
    case SM_CXFRAME:
      return m.frameWidth;
    case SM_CYFRAME:
      return m.frameHeight;
    case SM_CYCAPTION:
      return m.captionHeight;
    case SM_CXFULLSCREEN:
      return m.fullScreenWidth;
    case SM_CYFULLSCREEN:
      return m.fullScreenHeight;
    default:
      return 0;
  }
}

}  // namespace win
