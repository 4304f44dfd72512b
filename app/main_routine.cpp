#include "app/main_routine.h"

#include "app/prime_search.h"

namespace app {

// The run-time's own modules; the console terminal and the graphics interface
// take the fifth and sixth entries.
const rtl::ModuleTable ProgramModules = {
    6,
    0,
    {
        {rtl::SystemInit, nullptr},
        {rtl::InternalResourcesInit, nullptr},
        {rtl::DosServicesInit, nullptr},
        {nullptr, rtl::ObjectsFinal},
        {nullptr, nullptr},
        {nullptr, nullptr},
    },
};

void PrimesMain() {
  rtl::InitializeUnits();
  PrimeSearchDialogue();
  rtl::ExitCode = 0;
  rtl::DoExit();
}

}  // namespace app
