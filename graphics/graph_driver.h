// The one driver the graphics interface draws through, handed to it by the
// program before the graphics start-up.
#pragma once

#include "graphics/mode_list.h"

namespace graph {

struct GraphDriver {
  // Registers the driver's modes and fills SaveVideoState and RestoreVideoState.
  PModeInfo (*QueryAdapterInfo)();
  // Ends the open mode; the exit procedure's step after a run-time error.
  void (*CloseGraph)();
};

extern GraphDriver Driver;

}  // namespace graph
