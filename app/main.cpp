#include "app/main_routine.h"

int main() {
  rtl::ProcessEntry(app::ProgramModules, app::PrimesMain);
}
