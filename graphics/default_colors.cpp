// The 256-entry default palette, built from its rules: 16 text colours, a grey
// ramp, nine hue wheels of 24 entries, and eight blacks.
#include <array>

#include "graphics/graph_state.h"

namespace graph {

namespace {

struct Levels {
  int16_t L, q1, q2, q3, H;
};

constexpr RGBRec TextColors[16] = {{0, 0, 0},     {0, 0, 168},    {0, 168, 0},    {0, 168, 168},
                                   {168, 0, 0},   {168, 0, 168},  {168, 84, 0},   {168, 168, 168},
                                   {84, 84, 84},  {84, 84, 252},  {84, 252, 84},  {84, 252, 252},
                                   {252, 84, 84}, {252, 84, 252}, {252, 252, 84}, {252, 252, 252}};

constexpr int16_t GreyRamp[16] = {0, 20, 32, 44, 56, 68, 80, 96, 112, 128, 144, 160, 180, 200, 224, 252};

constexpr Levels WheelLevels[9] = {{0, 64, 124, 188, 252}, {124, 156, 188, 220, 252}, {180, 196, 216, 232, 252},
                                   {0, 28, 56, 84, 112},   {56, 68, 84, 96, 112},     {80, 88, 96, 104, 112},
                                   {0, 16, 32, 48, 64},    {32, 40, 48, 56, 64},      {44, 48, 52, 60, 64}};

// One wheel: from blue through magenta, red, yellow, green and cyan back towards blue.
constexpr std::array<RGBRec, 24> Wheel(const Levels& v) {
  return {{{v.L, v.L, v.H},  {v.q1, v.L, v.H}, {v.q2, v.L, v.H}, {v.q3, v.L, v.H}, {v.H, v.L, v.H},  {v.H, v.L, v.q3},
           {v.H, v.L, v.q2}, {v.H, v.L, v.q1}, {v.H, v.L, v.L},  {v.H, v.q1, v.L}, {v.H, v.q2, v.L}, {v.H, v.q3, v.L},
           {v.H, v.H, v.L},  {v.q3, v.H, v.L}, {v.q2, v.H, v.L}, {v.q1, v.H, v.L}, {v.L, v.H, v.L},  {v.L, v.H, v.q1},
           {v.L, v.H, v.q2}, {v.L, v.H, v.q3}, {v.L, v.H, v.H},  {v.L, v.q3, v.H}, {v.L, v.q2, v.H}, {v.L, v.q1, v.H}}};
}

struct Palette256 {
  RGBRec entries[256];
};

constexpr Palette256 BuildDefaultColors() {
  Palette256 p{};
  for (int i = 0; i < 16; ++i) p.entries[i] = TextColors[i];
  for (int i = 0; i < 16; ++i) p.entries[16 + i] = {GreyRamp[i], GreyRamp[i], GreyRamp[i]};
  for (int block = 0; block < 9; ++block) {
    std::array<RGBRec, 24> wheel = Wheel(WheelLevels[block]);
    for (int k = 0; k < 24; ++k) p.entries[32 + 24 * block + k] = wheel[k];
  }
  for (int i = 248; i < 256; ++i) p.entries[i] = {0, 0, 0};
  return p;
}

constexpr Palette256 Built = BuildDefaultColors();

}  // namespace

// Spelled out entry by entry so that the table stays a constant, filled at compile time.
#define ENTRY(i) Built.entries[i]
#define ROW(b)                                                                                                    \
  ENTRY(b + 0), ENTRY(b + 1), ENTRY(b + 2), ENTRY(b + 3), ENTRY(b + 4), ENTRY(b + 5), ENTRY(b + 6), ENTRY(b + 7), \
      ENTRY(b + 8), ENTRY(b + 9), ENTRY(b + 10), ENTRY(b + 11), ENTRY(b + 12), ENTRY(b + 13), ENTRY(b + 14),      \
      ENTRY(b + 15)
constinit const RGBRec DefaultColors[256] = {ROW(0),   ROW(16),  ROW(32),  ROW(48),  ROW(64),  ROW(80),
                                             ROW(96),  ROW(112), ROW(128), ROW(144), ROW(160), ROW(176),
                                             ROW(192), ROW(208), ROW(224), ROW(240)};
#undef ROW
#undef ENTRY

}  // namespace graph
