// Showing what was drawn: the damaged part of each window's surface goes to
// its X window as one image.
#pragma once

#include "platform/posix/user/x11_connection.h"

namespace win::stand_in {

void PresentDamage(X11Connection& connection);

}  // namespace win::stand_in
