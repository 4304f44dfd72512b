// Which host serves the windows: the X display, or what was put in its place.
#include <mutex>

#include "platform/posix/user/display_host.h"

namespace win::stand_in {
namespace {

struct Selection {
  std::mutex lock;
  bool replaced = false;
  DisplayHost* host = nullptr;
  DisplayMetrics metrics;
};

Selection& Selected() {
  static Selection* selection = new Selection;
  return *selection;
}

}  // namespace

void ReplaceDisplay(DisplayHost* host, const DisplayMetrics& metrics) {
  std::lock_guard<std::mutex> guard(Selected().lock);
  Selected().replaced = true;
  Selected().host = host;
  Selected().metrics = metrics;
}

void RestoreDisplay() {
  std::lock_guard<std::mutex> guard(Selected().lock);
  Selected().replaced = false;
  Selected().host = nullptr;
  Selected().metrics = {};
}

DisplayHost* ActiveHost() {
  std::lock_guard<std::mutex> guard(Selected().lock);
  if (Selected().replaced) return Selected().host;
  return DisplayNamed() ? X11Host() : nullptr;
}

const DisplayMetrics* ChosenMetrics() {
  std::lock_guard<std::mutex> guard(Selected().lock);
  // Set before the program starts and not changed afterwards.
  return Selected().replaced ? &Selected().metrics : nullptr;
}

}  // namespace win::stand_in
