// Text at the current position, the built-in font's metrics, and the font table.
#include <gtest/gtest.h>

#include "graphics/graph.h"
#include "tests/graphics/test_modes.h"

namespace {

using namespace graph;
using Strings = std::vector<std::string>;

TEST(OutText, DrawsAtThePositionAndMovesPastHorizontalLeftText) {
  test_modes::OpenFakeMode();
  OutText("Signature11");
  OutText("Signature11");
  OutText("");
  EXPECT_EQ(test_modes::Log, (Strings{"OutTextXY 0 0 Signature11", "OutTextXY 88 0 Signature11", "OutTextXY 176 0 "}));
  EXPECT_EQ(std::make_tuple(CurrentX, CurrentY), std::make_tuple(176, 0));
  CurrentTextInfo.Horiz = 1;
  OutText("abc");
  CurrentTextInfo.Horiz = 0;
  CurrentTextInfo.Direction = 1;
  OutText("abc");
  EXPECT_EQ(CurrentX, 176);
  CurrentTextInfo.Direction = 0;
  CurrentX = 32760;
  OutText("a");  // wraps in 16 bits
  EXPECT_EQ(CurrentX, -32768);
}

TEST(TextMetrics, WidthHeightPositionAndTranslation) {
  test_modes::OpenFakeMode();
  const ShortString longest(std::string(255, 'w'));
  EXPECT_EQ(std::make_tuple(TextWidth(""), TextWidth(longest), TextHeight(""), TextHeight("long text")),
            std::make_tuple(0, 2040, 8, 8));
  CurrentTextInfo.CharSize = 40;
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
  EXPECT_EQ(std::string(ConvertString("Abc").View()), "Abc");
  uint8_t reversed[256];
  for (int i = 0; i < 256; ++i) reversed[i] = static_cast<uint8_t>(255 - i);
  GraphStringTransTable = reversed;
  EXPECT_EQ(std::string(ConvertString("\x01\xFE").View()), "\xFE\x01");
}

TEST(InstallUserFont, NumbersSlotsUntilTheTableIsFull) {
  InstalledFonts = 10;  // as start-up leaves it
  _GraphResult = grInvalidMode;
  EXPECT_EQ(InstallUserFont("FIRST"), 11);
  EXPECT_EQ(GraphResult(), grOk);
  for (int16_t number = 12; number <= 15; ++number) EXPECT_EQ(InstallUserFont("MORE"), number);
  EXPECT_EQ(InstallUserFont("ALongFontName"), 16);
  EXPECT_EQ(InstallUserFont("SEVENTH"), 0);
  EXPECT_EQ(std::make_tuple(GraphResult(), InstalledFonts), std::make_tuple(grError, 16));
  EXPECT_EQ(std::string(Fonts[16].Name.chars, Fonts[16].Name.length), "ALongFon");
  EXPECT_EQ(std::make_tuple(Fonts[16].InstrLength, Fonts[16].Instr), std::make_tuple(0, nullptr));
}

}  // namespace
