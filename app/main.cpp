#include "app/main_routine.h"
#include "platform/win.h"

int main() {
  win::stand_in::Start();
  rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
}
