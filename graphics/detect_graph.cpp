// Detection: the largest mode of the last colour depth that has any.
#include "graphics/mode_list.h"

namespace graph {

void InternDetectGraph(int16_t& driver, int16_t& mode, bool fromInitGraph) {
  int16_t lowest = -1, highest = -1;
  int16_t foundDriver = 0, foundMode = 0;
  if (fromInitGraph && driver >= LowNewDriver && driver <= HighNewDriver) {
    GetModeRange(driver, lowest, highest);
    if (highest != -1) {
      foundDriver = driver;
      foundMode = highest;
    }
  } else {
    driver = LowNewDriver;
    while (driver <= HighNewDriver && highest == -1) {
      GetModeRange(driver, lowest, highest);
      ++driver;
    }
    --driver;
    if (highest == -1) {
      _GraphResult = grNotDetected;
      return;
    }
    for (int16_t d = driver; d <= HighNewDriver; ++d) {
      GetModeRange(d, lowest, highest);
      if (highest != -1) {
        foundDriver = d;
        foundMode = highest;
      }
    }
  }
  if (foundMode == 0) {
    _GraphResult = grNotDetected;
    return;
  }
  _GraphResult = grOk;
  driver = foundDriver;
  mode = foundMode;
}

}  // namespace graph
