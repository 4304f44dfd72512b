// Windows itself is the platform: there is nothing to start.
#pragma once

namespace win::stand_in {

inline void Start() {}

}  // namespace win::stand_in
