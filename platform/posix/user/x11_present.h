// Showing what was drawn: the damaged part of each window's surface goes to
// its X window as one image.
#pragma once

#include <cstdint>

#include "platform/posix/user/x11_connection.h"

namespace win::stand_in {

void PresentDamage(X11Connection& connection);

// Told of every present that sent images: how many, the server requests they
// took, and their pixels.
using PresentObserver = void (*)(uint64_t images, uint64_t requests, uint64_t pixels);
void ObservePresents(PresentObserver observer);

}  // namespace win::stand_in
