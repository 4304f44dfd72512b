// Which host serves the windows: the one a test selected, else X11.
#include <mutex>

#include "platform/posix/user/display_host.h"

namespace win::stand_in {
namespace {

enum class HostChoice { Display, Memory, None };

struct Selection {
  std::mutex lock;
  HostChoice choice = HostChoice::Display;
  DisplayMetrics metrics;
};

Selection& Selected() {
  static Selection* selection = new Selection;
  return *selection;
}

void Select(HostChoice choice, const DisplayMetrics& metrics) {
  std::lock_guard<std::mutex> guard(Selected().lock);
  Selected().choice = choice;
  Selected().metrics = metrics;
}

}  // namespace

void UseMemoryDisplay(const DisplayMetrics& metrics) {
  Select(HostChoice::Memory, metrics);
}
void UseNoDisplay(const DisplayMetrics& metrics) {
  Select(HostChoice::None, metrics);
}
void UseX11Display() {
  Select(HostChoice::Display, {});
}

DisplayHost* ActiveHost() {
  std::lock_guard<std::mutex> guard(Selected().lock);
  switch (Selected().choice) {
    case HostChoice::Memory:
      return MemoryHost();
    case HostChoice::None:
      return nullptr;
    case HostChoice::Display:
      break;
  }
  return X11Host();
}

const DisplayMetrics* ChosenMetrics() {
  std::lock_guard<std::mutex> guard(Selected().lock);
  // Set before the program starts and not changed afterwards.
  return Selected().choice == HostChoice::Display ? nullptr : &Selected().metrics;
}

}  // namespace win::stand_in
