// Colour counts to colour-depth drivers, and the resolution mode numbers.
#include "graphics/mode_list.h"

namespace graph {

const ResolutionType Resolutions[15] = {{320, 200}, {320, 256},  {320, 400},   {512, 384},   {640, 200},
                                        {640, 256}, {640, 350},  {640, 400},   {640, 480},   {800, 600},
                                        {832, 624}, {1024, 768}, {1280, 1024}, {1600, 1200}, {2048, 1536}};

void Res2Mode(int32_t width, int32_t height, int32_t colors, int16_t& driver, int16_t& mode) {
  switch (colors) {
    case 2:
      driver = 11;
      break;
    case 4:
      driver = 12;
      break;
    case 16:
      driver = 13;
      break;
    case 64:
      driver = 14;
      break;
    case 256:
      driver = 15;
      break;
    case 4096:
      driver = 16;
      break;
    case 32768:
      driver = 17;
      break;
    case 65536:
      driver = 18;
      break;
    default:
      driver = NoNewDriver;
      return;
  }
  mode = NoNewDriver;
  for (int16_t m = FirstResolutionMode; m <= LastResolutionMode; ++m) {
    const ResolutionType& r = Resolutions[m - FirstResolutionMode];
    if (r.Width == width && r.Height == height) {
      mode = m;
      return;
    }
  }
}

bool Mode2Res(int16_t mode, int32_t& width, int32_t& height) {
  if (mode < FirstResolutionMode || mode > LastResolutionMode) return false;
  width = Resolutions[mode - FirstResolutionMode].Width;
  height = Resolutions[mode - FirstResolutionMode].Height;
  return true;
}

}  // namespace graph
