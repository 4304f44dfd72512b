#include "runtime/int_text.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
  int32_t value;
  int32_t position;
};
Parsed Val(const char* text) {
  Parsed p;
  p.value = rtl::ValSInt(rtl::ShortString(text), p.position);
  return p;
}

TEST(ValSInt, AcceptsDecimalLimitsSignsAndPrefixes) {
  EXPECT_EQ(Val("2147483647").value, 2147483647);
  EXPECT_EQ(Val("-2147483648").value, INT32_MIN);
  EXPECT_EQ(Val("$FFFFFFFF").value, -1);
  EXPECT_EQ(Val("-$10").value, -16);
  EXPECT_EQ(Val("$10").value, 16);
  EXPECT_EQ(Val("%101").value, 5);
  EXPECT_EQ(Val("&17").value, 15);
  EXPECT_EQ(Val("x1f").value, 31);
  EXPECT_EQ(Val("0X1F").value, 31);
  EXPECT_EQ(Val(" \t+0007").value, 7);
  EXPECT_EQ(Val("0").value, 0);
  EXPECT_EQ(Val("000").value, 0);
  for (const char* ok : {"2147483647", "-2147483648", "$FFFFFFFF", "%0", "0x0", "+5"})
    EXPECT_EQ(Val(ok).position, 0) << ok;
}

TEST(ValSInt, RejectsAtTheFirstOffendingCharacter) {
  EXPECT_EQ(Val("2147483648").position, 10);
  EXPECT_EQ(Val("-2147483649").position, 11);
  EXPECT_EQ(Val("12x").position, 3);
  EXPECT_EQ(Val("+").position, 2);
  EXPECT_EQ(Val("").position, 1);
  EXPECT_EQ(Val("$").position, 2);
  EXPECT_EQ(Val("abc").position, 1);
  EXPECT_EQ(Val("%102").position, 4);
  EXPECT_EQ(Val("&8").position, 2);
  EXPECT_EQ(Val("$100000000").position, 10);
  EXPECT_EQ(Val("1 2").position, 2);
  EXPECT_EQ(Val("12x").value, 0);
}

TEST(IntegerText, WritesDecimalAndHexadecimal) {
  EXPECT_EQ(rtl::IntStr(INT32_MIN).View(), "-2147483648");
  EXPECT_EQ(rtl::IntStr(0).View(), "0");
  EXPECT_EQ(rtl::IntStr(-7).View(), "-7");
  EXPECT_EQ(rtl::UIntStr(4294967295u).View(), "4294967295");
  EXPECT_EQ(rtl::HexStr(0x00AB12CDu).View(), "00AB12CD");
}

}  // namespace
