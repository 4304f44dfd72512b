// The test programs start the platform as the program's entry does, and count
// window events before any window exists.
#include <gtest/gtest.h>

#include "platform/posix/testing/memory_display.h"
#include "platform/win.h"

int main(int argc, char** argv) {
  win::stand_in::Start();
  win::stand_in::CountWindowEvents();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
