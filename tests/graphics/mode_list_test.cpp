// Registration into both lists, lookup, ranges and detection.
#include <gtest/gtest.h>

#include "graphics/graph.h"
#include "tests/graphics/test_modes.h"

namespace {

using namespace graph;
using test_modes::FakeMode;
using Sizes = std::vector<std::tuple<int, int, int>>;  // MaxX, MaxY, InternModeNumber

Sizes Listed(PModeInfo node) {
  Sizes sizes;
  for (; node; node = node->Next) sizes.emplace_back(node->MaxX, node->MaxY, node->InternModeNumber);
  return sizes;
}
std::vector<int> ModeNumbers(PModeInfo node) {
  std::vector<int> modes;
  for (; node; node = node->Next) modes.push_back(node->ModeNumber);
  return modes;
}

TEST(AddMode, SortsBySizeReplacesEqualSizesAndKeepsRegistrationOrder) {
  test_modes::ResetGraphics();
  AddMode(FakeMode(9, 2, 639, 479, 16));
  AddMode(FakeMode(9, 0, 639, 199, 16));
  AddMode(FakeMode(9, 1, 639, 349, 16));
  AddMode(FakeMode(10, 240, 319, 999, 16));  // narrower sorts first whatever its height
  AddMode(FakeMode(10, 241, 639, 349, 16));  // same size: replaces mode 1
  AddMode(FakeMode(10, 500, 1023, 767, 8));  // no colour depth for 8 colours
  EXPECT_EQ(Listed(NewModeList.Modes[13]), (Sizes{{319, 999, 1}, {639, 199, 2}, {639, 349, 3}, {639, 479, 4}}));
  EXPECT_EQ(ModeNumbers(NewModeList.Modes[13]), (std::vector<int>{240, 0, 241, 2}));
  EXPECT_EQ(std::make_tuple(NewModeList.LoHi[13].Lo, NewModeList.LoHi[13].Hi), std::make_tuple(1, 4));
  EXPECT_EQ(std::make_tuple(NewModeList.LoHi[15].Lo, NewModeList.LoHi[15].Hi), std::make_tuple(-1, -1));
  EXPECT_EQ(ModeNumbers(ModeList), (std::vector<int>{2, 0, 1, 240, 241, 500}));
  EXPECT_EQ(ModeList->Next->InternModeNumber, 0);
  for (int16_t d = LowNewDriver; d <= HighNewDriver; ++d) EXPECT_EQ(NewModeList.Modes[d] == nullptr, d != 13) << d;
}

void RegisterModes() {
  test_modes::ResetGraphics();
  AddMode(FakeMode(9, 2, 639, 479, 16));
  AddMode(FakeMode(10, 256, 639, 399, 256));
  AddMode(FakeMode(10, 257, 639, 479, 256));
  AddMode(FakeMode(10, 259, 799, 599, 256));
  AddMode(FakeMode(9, 0, 639, 199, 16));
}

// The driver's mode number of what SearchMode finds (-1 for nothing) and the mode it leaves.
std::tuple<int, int> Search(int16_t driver, int16_t mode) {
  PModeInfo found = SearchMode(driver, mode);
  return {found ? found->ModeNumber : -1, mode};
}

TEST(SearchMode, ByResolutionInternalNumberEndsAndDriverNumbering) {
  RegisterModes();
  EXPECT_EQ(Search(15, 30009), std::make_tuple(257, 30009));
  EXPECT_EQ(Search(15, 30012), std::make_tuple(-1, 30012));
  EXPECT_EQ(Search(15, 3), std::make_tuple(259, 3));
  EXPECT_EQ(Search(15, 4), std::make_tuple(-1, 4));
  EXPECT_EQ(Search(15, LowestMode), std::make_tuple(256, 1));
  EXPECT_EQ(Search(15, HighestMode), std::make_tuple(259, 3));
  EXPECT_EQ(Search(12, HighestMode), std::make_tuple(-1, -1));
  EXPECT_EQ(Search(12, 1), std::make_tuple(-1, 1));
  EXPECT_EQ(Search(10, 257), std::make_tuple(257, 257));
  EXPECT_EQ(Search(10, 2), std::make_tuple(-1, 2));
  EXPECT_EQ(Search(9, LowestMode), std::make_tuple(2, 2));
  EXPECT_EQ(Search(9, HighestMode), std::make_tuple(2, 2));  // end of the first run of driver 9
  EXPECT_EQ(Search(10, HighestMode), std::make_tuple(259, 259));
  EXPECT_EQ(Search(7, HighestMode), std::make_tuple(-1, HighestMode));
  int16_t lo, hi;
  const std::tuple<int16_t, int, int> ranges[] = {{12, -1, -1}, {15, 1, 3}, {13, 1, 2}, {10, 256, 259}};
  for (const auto& [driver, low, high] : ranges) {
    GetModeRange(driver, lo, hi);
    EXPECT_EQ(std::make_tuple(lo, hi), std::make_tuple(low, high)) << driver;
  }
}

TEST(Detection, LargestModeOfTheLastDepthWithModes) {
  RegisterModes();
  int16_t driver = 0, mode = 0;
  InternDetectGraph(driver, mode, true);
  EXPECT_EQ(std::make_tuple(_GraphResult, driver, mode), std::make_tuple(grOk, 15, 3));
  driver = 13;  // a colour depth named by InitGraph is searched alone
  InternDetectGraph(driver, mode, true);
  EXPECT_EQ(std::make_tuple(driver, mode), std::make_tuple(13, 2));
  driver = 12;
  InternDetectGraph(driver, mode, true);
  EXPECT_EQ(std::make_tuple(_GraphResult, driver, mode), std::make_tuple(grNotDetected, 12, 2));
  AddMode(FakeMode(10, 900, 99, 99, 65536));
  driver = 0;
  InternDetectGraph(driver, mode, false);
  EXPECT_EQ(std::make_tuple(_GraphResult, driver, mode), std::make_tuple(grOk, 18, 1));

  FreeModeLists();
  driver = 0;
  InternDetectGraph(driver, mode, true);
  EXPECT_EQ(std::make_tuple(_GraphResult, driver, mode), std::make_tuple(grNotDetected, 21, 1));
}

}  // namespace
