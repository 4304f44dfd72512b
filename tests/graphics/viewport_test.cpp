// Result code, viewport checks, line styles, defaults after a mode set,
// background colour and the palette and clearing defaults.
#include <gtest/gtest.h>

#include <tuple>

#include "graphics/graph.h"
#include "tests/graphics/test_modes.h"

namespace {

using namespace graph;
using test_modes::Log;
using test_modes::Palette;
using Strings = std::vector<std::string>;

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
  test_modes::ResetGraphics();
  AddMode(test_modes::FakeMode(10, 257, 639, 479, 256));
  int16_t driver = 10, mode = 257;
  InitGraph(driver, mode, "");
  EXPECT_EQ(Log, (Strings{"Init", "SetActivePage 0", "SetVisualPage 0"}));
  EXPECT_TRUE(IsGraphMode);
  EXPECT_EQ(View(), View7(0, 0, 639, 479, true, 0, 0));
  EXPECT_EQ(std::make_tuple(CurrentColor, CurrentBkColor, CurrentWriteMode, GetMaxColor(), _GraphResult),
            std::make_tuple(15, 0, 0, 255, grOk));
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
  SetBkColor(3);
  EXPECT_EQ(GetBkColor(), 3);
  EXPECT_EQ(Rgb(Palette[0]), std::make_tuple(0, 168, 168));
  EXPECT_EQ(Rgb(Palette[3]), std::make_tuple(0, 0, 0));
  EXPECT_EQ(View(), View7(10, 20, 100, 200, true, 0, 0));
}

TEST(PaletteAndClearDefaults, SkipUnsetEntriesAndRestoreTheDrawingState) {
  test_modes::OpenFakeMode(16);
  PaletteType p{3, {{1, 2, 3}, {4, -1, 6}, {7, 8, 9}}};
  Palette[1] = {5, 5, 5};
  SetAllPalette(p);
  EXPECT_EQ(std::make_tuple(Rgb(Palette[0]), Rgb(Palette[1]), Rgb(Palette[2])),
            std::make_tuple(Rgb3(1, 2, 3), Rgb3(5, 5, 5), Rgb3(7, 8, 9)));
  p.Size = 17;
  SetAllPalette(p);
  EXPECT_EQ(GraphResult(), grError);

  SetViewPort(10, 10, 19, 12, true);
  CurrentBkColor = 2;
  CurrentWriteMode = 1;
  SetLineStyle(4, 0xAAAA, 3);
  ClearViewPort();
  EXPECT_EQ(Log, (Strings{"HLine 0 9 0 2", "HLine 0 9 1 2", "HLine 0 9 2 2"}));
  EXPECT_EQ(std::make_tuple(CurrentColor, CurrentWriteMode, LineInfo.Pattern, LineInfo.Thickness),
            std::make_tuple(15, 1, 0xAAAA, 3));
}

}  // namespace
