#include "app/main_routine.h"

#include "app/graphics_start.h"
#include "app/prime_plot.h"
#include "app/prime_search.h"
#include "console/crt_streams.h"
#include "console/keyboard.h"
#include "graphics/graph.h"

namespace app {

// The run-time's own modules, then the console terminal and the graphics interface.
const rtl::ModuleTable ProgramModules = {
    6,
    0,
    {
        {rtl::SystemInit, nullptr},
        {rtl::InternalResourcesInit, nullptr},
        {rtl::DosServicesInit, nullptr},
        {nullptr, rtl::ObjectsFinal},
        {crt::CrtInit, nullptr},
        {GraphicsInit, nullptr},
    },
};

void PrimesMain() {
  rtl::InitializeUnits();
  KeyPoll = crt::KeyPressed;
  PrimeSearchDialogue();
  PrimeCountPlot();
}

}  // namespace app
