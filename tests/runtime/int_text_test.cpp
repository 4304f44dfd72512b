#include "runtime/int_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ValSInt, AcceptsTheIntegerSyntaxOrStopsAtTheFirstOffendingCharacter) {
  // Text, value, and the 1-based position of the offending character (0: accepted).
  const std::tuple<const char*, int32_t, int32_t> cases[] = {
      {"2147483647", 2147483647, 0},
      {"-2147483648", INT32_MIN, 0},
      {"$FFFFFFFF", -1, 0},
      {"-$10", -16, 0},
      {"$10", 16, 0},
      {"%101", 5, 0},
      {"&17", 15, 0},
      {"x1f", 31, 0},
      {"0X1F", 31, 0},
      {" \t+0007", 7, 0},
      {"000", 0, 0},
      {"%0", 0, 0},
      {"2147483648", 0, 10},
      {"-2147483649", 0, 11},
      {"12x", 0, 3},
      {"+", 0, 2},
      {"", 0, 1},
      {"$", 0, 2},
      {"abc", 0, 1},
      {"%102", 0, 4},
      {"&8", 0, 2},
      {"$100000000", 0, 10},
      {"1 2", 0, 2},
  };
  for (const auto& [text, value, position] : cases) {
    int32_t at = -1;
    EXPECT_EQ(rtl::ValSInt(rtl::ShortString(text), at), value) << '"' << text << '"';
    EXPECT_EQ(at, position) << '"' << text << '"';
  }
}

TEST(IntegerText, WritesDecimalAndHexadecimal) {
  EXPECT_EQ(rtl::IntStr(INT32_MIN).View(), "-2147483648");
  EXPECT_EQ(rtl::IntStr(0).View(), "0");
  EXPECT_EQ(rtl::IntStr(-7).View(), "-7");
  EXPECT_EQ(rtl::UIntStr(4294967295u).View(), "4294967295");
  EXPECT_EQ(rtl::HexStr(0x00AB12CDu).View(), "00AB12CD");
}

}  // namespace
