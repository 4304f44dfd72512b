// The program hands the windowed driver to the graphics interface before its
// start-up; the interface itself knows no driver.
#include "app/graphics_start.h"

#include "graphics/graph.h"
#include "graphics/graph_driver.h"
#include "graphics/window_driver/win32gui.h"

namespace app {

void GraphicsInit() {
  graph::Driver = graph::Win32GUI;
  graph::GraphInit();
  graph::ClearMessageHandlers();
}

}  // namespace app
