// The state every mode starts from: the default palette, the result code,
// viewport checks, line styles, defaults after a mode set, the background
// colour, and text at the current position with the built-in font's metrics.
#include <gtest/gtest.h>

#include <tuple>

#include "graphics/graph.h"
#include "tests/graphics/test_modes.h"

namespace {

using namespace graph;
using test_modes::Palette;

// Viewport corners, clip flag and current position in one comparable value.
auto View() {
  ViewPortType v;
  GetViewSettings(v);
  return std::make_tuple(v.X1, v.Y1, v.X2, v.Y2, v.Clip, CurrentX, CurrentY);
}
auto Rgb(const RGBRec& c) {
  return std::make_tuple(c.Red, c.Green, c.Blue);
}
using Rgb3 = std::tuple<int16_t, int16_t, int16_t>;
using View7 = std::tuple<int16_t, int16_t, int16_t, int16_t, bool, int16_t, int16_t>;

TEST(DefaultColors, TextColoursGreyRampWheelsAndBlacks) {
  const int16_t text[16][3] = {{0, 0, 0},     {0, 0, 168},    {0, 168, 0},    {0, 168, 168},
                               {168, 0, 0},   {168, 0, 168},  {168, 84, 0},   {168, 168, 168},
                               {84, 84, 84},  {84, 84, 252},  {84, 252, 84},  {84, 252, 252},
                               {252, 84, 84}, {252, 84, 252}, {252, 252, 84}, {252, 252, 252}};
  const int16_t grey[16] = {0, 20, 32, 44, 56, 68, 80, 96, 112, 128, 144, 160, 180, 200, 224, 252};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(Rgb(DefaultColors[i]), Rgb3(text[i][0], text[i][1], text[i][2])) << i;
    EXPECT_EQ(Rgb(DefaultColors[16 + i]), Rgb3(grey[i], grey[i], grey[i])) << 16 + i;
  }
  const std::pair<int, Rgb3> spots[] = {
      {32, {0, 0, 252}},   {36, {252, 0, 252}},  {40, {252, 0, 0}},    {43, {252, 188, 0}},   {44, {252, 252, 0}},
      {48, {0, 252, 0}},   {52, {0, 252, 252}},  {55, {0, 64, 252}},   {56, {124, 124, 252}}, {80, {180, 180, 252}},
      {104, {0, 0, 112}},  {128, {56, 56, 112}}, {152, {80, 80, 112}}, {176, {0, 0, 64}},     {200, {32, 32, 64}},
      {224, {44, 44, 64}}, {235, {64, 60, 44}},  {247, {44, 48, 64}}};
  for (const auto& [index, color] : spots) EXPECT_EQ(Rgb(DefaultColors[index]), color) << index;
  for (int i = 248; i < 256; ++i) EXPECT_EQ(Rgb(DefaultColors[i]), Rgb3(0, 0, 0)) << i;
}

TEST(ViewPort, ChecksCornersInOrderAndChangesNothingOnFailure) {
  _GraphResult = grInvalidMode;
  EXPECT_EQ(GraphResult(), grInvalidMode);
  EXPECT_EQ(GraphResult(), grOk);
  test_modes::OpenFakeMode();
  SetViewPort(5, 6, 100, 200, false);
  CurrentX = 3;
  const int16_t bad[][4] = {{10, 10, 5, 20}, {0, 0, 640, 10}, {-1, 0, 10, 10}, {-5, 0, -2, 10},
                            {0, 10, 10, 5},  {0, 0, 10, 480}, {0, -1, 10, 10}, {0, -5, 10, -2}};
  for (const auto& c : bad) {
    SetViewPort(c[0], c[1], c[2], c[3], true);
    EXPECT_EQ(GraphResult(), grError) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    EXPECT_EQ(View(), View7(5, 6, 100, 200, false, 3, 0));
  }
  // Success homes the position and leaves an earlier code standing.
  SetViewPort(0, 0, 700, 1, true);
  SetViewPort(639, 479, 639, 479, true);
  EXPECT_EQ(View(), View7(639, 479, 639, 479, true, 0, 0));
  SetViewPort(0, 0, GetMaxX(), GetMaxY(), true);
  EXPECT_EQ(std::make_tuple(ViewWidth, ViewHeight, GraphResult()), std::make_tuple(639, 479, grError));
}

TEST(LineStyle, PatternsAndRejectedArguments) {
  SetLineStyle(1, 0, 1);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(LinePatterns[i], i % 4 < 2) << i;
  SetLineStyle(4, 0x8001, 3);
  EXPECT_TRUE(LinePatterns[0] && !LinePatterns[1] && LinePatterns[15]);
  SetLineStyle(2, 0x1234, 1);  // the pattern argument counts for the user style only
  EXPECT_EQ(GraphResult(), grOk);
  SetLineStyle(5, 0, 1);
  EXPECT_EQ(GraphResult(), grError);
  SetLineStyle(0, 0, 2);
  EXPECT_EQ(GraphResult(), grError);
  LineSettingsType s;
  GetLineSettings(s);
  EXPECT_EQ(std::make_tuple(s.LineStyle, s.Pattern, s.Thickness), std::make_tuple(2, 0xFC78, 1));
}

TEST(GraphDefaults, StateAfterAModeSet) {
  FillPatternTable[12][3] = 0x11;
  LineInfo.Pattern = 0x1234;
  Palette[0] = {1, 2, 3};
  CurrentTextInfo = {1, 1, 4, 1, 0};
  CurrentWriteMode = 1;
  test_modes::OpenFakeMode();
  EXPECT_EQ(View(), View7(0, 0, 639, 479, true, 0, 0));
  EXPECT_EQ(std::make_tuple(CurrentColor, CurrentBkColor, CurrentWriteMode, GetMaxColor()),
            std::make_tuple(15, 0, 0, 255));
  EXPECT_EQ(std::make_tuple(FillSettings.Pattern, FillSettings.Color), std::make_tuple(1, 255));
  for (uint8_t row : FillPatternTable[12]) EXPECT_EQ(row, 0xFF);
  EXPECT_EQ(std::make_tuple(LineInfo.LineStyle, LineInfo.Pattern, LineInfo.Thickness), std::make_tuple(0, 0x1234, 1));
  const TextSettingsType& t = CurrentTextInfo;
  EXPECT_EQ(std::make_tuple(t.Font, t.Direction, t.CharSize, t.Horiz, t.Vert), std::make_tuple(0, 0, 1, 0, 2));
  EXPECT_EQ(Rgb(Palette[0]), std::make_tuple(0, 0, 0));
  test_modes::OpenFakeMode(16);
  EXPECT_EQ(std::make_tuple(GetMaxColor(), FillSettings.Color), std::make_tuple(15, 15));
}

TEST(BackgroundColour, SetsPaletteEntryZeroAndHomesThePosition) {
  test_modes::OpenFakeMode();
  SetViewPort(10, 20, 100, 200, true);
  CurrentX = CurrentY = 5;
  Hooks.SetBkColor(3);
  EXPECT_EQ(Hooks.GetBkColor(), 3);
  EXPECT_EQ(Rgb(Palette[0]), std::make_tuple(0, 168, 168));
  EXPECT_EQ(Rgb(Palette[3]), std::make_tuple(0, 0, 0));
  EXPECT_EQ(View(), View7(10, 20, 100, 200, true, 0, 0));
}

TEST(Text, OutTextMovesPastHorizontalLeftTextAndTheMetricsOfTheBuiltInFont) {
  test_modes::OpenFakeMode();
  OutText("Signature11");
  OutText("Signature11");
  OutText("");
  EXPECT_EQ(test_modes::Log,
            (std::vector<std::string>{"OutTextXY 0 0 Signature11", "OutTextXY 88 0 Signature11", "OutTextXY 176 0 "}));
  EXPECT_EQ(std::make_tuple(CurrentX, CurrentY), std::make_tuple(176, 0));
  CurrentTextInfo.Horiz = 1;
  OutText("abc");
  CurrentTextInfo.Horiz = 0;
  CurrentTextInfo.Direction = 1;
  OutText("abc");
  EXPECT_EQ(CurrentX, 176);
  // The built-in font's metrics, and the offsets of justified text.
  const ShortString longest(std::string(255, 'w'));
  EXPECT_EQ(std::make_tuple(TextWidth(""), TextWidth(longest), TextHeight(""), TextHeight("long text")),
            std::make_tuple(0, 2040, 8, 8));
  CurrentTextInfo.CharSize = 40;  // the width wraps in 16 bits
  EXPECT_EQ(std::make_tuple(TextWidth(longest), TextHeight("")), std::make_tuple(81600 - 65536, 320));
  CurrentTextInfo.CharSize = 1;
  const std::tuple<uint16_t, uint16_t, int32_t, int32_t> positions[] = {
      {0, 2, 0, 0}, {1, 1, 20, -4}, {2, 0, 40, -8}, {3, 3, 99, 99}};  // other values write nothing
  for (const auto& [horiz, vert, x, y] : positions) {
    CurrentTextInfo.Horiz = horiz;
    CurrentTextInfo.Vert = vert;
    int32_t xOffset = 99, yOffset = 99;
    GetTextPosition(xOffset, yOffset, "hello");
    EXPECT_EQ(std::make_tuple(xOffset, yOffset), std::make_tuple(x, y)) << horiz << " " << vert;
  }
}

}  // namespace
