// The graphics interface's start-up with the program's one driver.
#pragma once

namespace app {

void GraphicsInit();

}  // namespace app
