// The stand-in starts through one call at the top of the program's entry,
// before anything else runs.
#pragma once

namespace win::stand_in {

void Start();

}  // namespace win::stand_in
