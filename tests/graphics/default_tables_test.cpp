// The default palette against its listed entries and its wheels' turning points.
#include <gtest/gtest.h>

#include <tuple>

#include "graphics/graph.h"

namespace {

auto Rgb(int i) {
  return std::make_tuple(graph::DefaultColors[i].Red, graph::DefaultColors[i].Green, graph::DefaultColors[i].Blue);
}
using Rgb3 = std::tuple<int16_t, int16_t, int16_t>;

TEST(DefaultColors, TextColoursGreyRampWheelsAndBlacks) {
  const int16_t text[16][3] = {{0, 0, 0},     {0, 0, 168},    {0, 168, 0},    {0, 168, 168},
                               {168, 0, 0},   {168, 0, 168},  {168, 84, 0},   {168, 168, 168},
                               {84, 84, 84},  {84, 84, 252},  {84, 252, 84},  {84, 252, 252},
                               {252, 84, 84}, {252, 84, 252}, {252, 252, 84}, {252, 252, 252}};
  const int16_t grey[16] = {0, 20, 32, 44, 56, 68, 80, 96, 112, 128, 144, 160, 180, 200, 224, 252};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(Rgb(i), Rgb3(text[i][0], text[i][1], text[i][2])) << i;
    EXPECT_EQ(Rgb(16 + i), Rgb3(grey[i], grey[i], grey[i])) << 16 + i;
  }
  const std::pair<int, Rgb3> spots[] = {
      {32, {0, 0, 252}},   {36, {252, 0, 252}},  {40, {252, 0, 0}},    {43, {252, 188, 0}},   {44, {252, 252, 0}},
      {48, {0, 252, 0}},   {52, {0, 252, 252}},  {55, {0, 64, 252}},   {56, {124, 124, 252}}, {80, {180, 180, 252}},
      {104, {0, 0, 112}},  {128, {56, 56, 112}}, {152, {80, 80, 112}}, {176, {0, 0, 64}},     {200, {32, 32, 64}},
      {224, {44, 44, 64}}, {235, {64, 60, 44}},  {247, {44, 48, 64}}};
  for (const auto& [index, color] : spots) EXPECT_EQ(Rgb(index), color) << index;
  for (int i = 248; i < 256; ++i) EXPECT_EQ(Rgb(i), Rgb3(0, 0, 0)) << i;
  // Six-bit levels times four everywhere.
  for (int i = 0; i < 256; ++i) {
    auto [r, g, b] = Rgb(i);
    EXPECT_TRUE(r % 4 == 0 && g % 4 == 0 && b % 4 == 0 && r <= 252 && g <= 252 && b <= 252) << i;
  }
}

}  // namespace
