// The program's main routine and the module table it starts with.
#pragma once

#include "runtime/system.h"

namespace app {

extern const rtl::ModuleTable ProgramModules;
void PrimesMain();

}  // namespace app
