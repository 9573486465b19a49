#include "core/graph/scale_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tavel {
namespace {

struct TextCase {
  Real value;
  int decimals;
  bool exponent;
  const char* text;
};

class ScaleNumberTextTable : public ::testing::TestWithParam<TextCase> {};

TEST_P(ScaleNumberTextTable, Writes) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ScaleNumberText(c.value, c.decimals, c.exponent), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Graph, ScaleNumberTextTable,
    ::testing::Values(
        TextCase{1.5L, 2, true, " 1.5"}, TextCase{12345, 2, true, " 1.2E+4"},
        TextCase{0.00042L, 2, true, " 4.2E-4"}, TextCase{-3e12L, 2, true, "-3.0E+12"},
        TextCase{0, 2, true, " 0.0"}, TextCase{9.96L, 2, true, " 1.0E+1"},
        TextCase{1e-1234L, 2, true, " 1.0E-1234"}, TextCase{250, -1, false, " 2.5E+0002"},
        TextCase{-0.025L, -1, false, "-2.5E-0002"}, TextCase{3.14159L, 2, false, "3.14"},
        TextCase{1234.5678L, 3, false, "1234.568"}, TextCase{-0.5L, 1, false, "-0.5"},
        TextCase{7, 0, false, "7"}, TextCase{0, 0, false, "0"}, TextCase{-1e-5L, 2, false, "0.00"},
        TextCase{2000000, 8, false, "2000000.00000000"}));

TEST(DecadeLabel, ExponentialAndDecimalOnEachAxis) {
  EXPECT_EQ(DecadeLabel(0, DecadeAxis::X, true), "1");
  EXPECT_EQ(DecadeLabel(-3, DecadeAxis::X, true), "1E -3");
  EXPECT_EQ(DecadeLabel(3, DecadeAxis::RightY, true), "1E+ 3");
  EXPECT_EQ(DecadeLabel(-3, DecadeAxis::LeftY, true), "1E-3");
  EXPECT_EQ(DecadeLabel(12, DecadeAxis::LeftY, true), "1E+12");
  EXPECT_EQ(DecadeLabel(3, DecadeAxis::X, false), "1000");
  EXPECT_EQ(DecadeLabel(-2, DecadeAxis::LeftY, false), ".01");
  EXPECT_EQ(DecadeLabel(10, DecadeAxis::X, false), "1.00000E+0010");
}

struct XFormatCase {
  Real max, min;
  int ticks, decimals;
  bool screen;
  int screenClass;
  bool exponent;
  int ticksAfter, decimalsAfter;
};

class XNumberFormatTable : public ::testing::TestWithParam<XFormatCase> {};

TEST_P(XNumberFormatTable, LowersDecimalsOrSwitchesToExponent) {
  const XFormatCase& c = GetParam();
  std::int32_t ticks = c.ticks, decimals = c.decimals;
  EXPECT_EQ(XNumberFormat(c.max, c.min, decimals, ticks, c.screen, c.screenClass), c.exponent);
  EXPECT_EQ(ticks, c.ticksAfter);
  EXPECT_EQ(decimals, c.decimalsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Graph, XNumberFormatTable,
    ::testing::Values(
        // (6 + 2 + 2) * 20 > 80 and 80 div 20 - 6 - 2 < 0: exponent, decimals kept.
        XFormatCase{2000000, -2000000, 20, 2, true, 1024, true, 20, 2},
        XFormatCase{2000000, -2000000, 20, 2, true, 640, true, 10, 2},
        XFormatCase{2000000, -2000000, 20, 2, true, 800, true, 10, 2},
        XFormatCase{2000000, -2000000, 20, 2, false, 800, true, 20, 2},
        XFormatCase{5000, 0, 20, 2, true, 1024, true, 20, 2},
        XFormatCase{5000, 0, 10, 2, true, 1024, false, 10, 2},
        // (2 + 2 + 2) * 20 > 80 and 80 div 20 - 2 - 2 = 0: no decimals.
        XFormatCase{100, 0, 20, 2, true, 1024, false, 20, 0},
        // The minimum decides when the maximum fits.
        XFormatCase{1, -123456, 10, 2, true, 1024, false, 10, 1},
        XFormatCase{2e9L, 0, 1, 2, true, 1024, true, 1, 2},
        XFormatCase{1e-10L, 0, 1, 2, true, 1024, true, 1, 2}));

TEST(YNumberFormat, DecimalsFitNineDigits) {
  std::int32_t decimals = 8;
  EXPECT_FALSE(YNumberFormat(0.5L, 0, decimals));
  EXPECT_EQ(decimals, 8);
  decimals = 8;
  EXPECT_FALSE(YNumberFormat(123456, 0, decimals));
  EXPECT_EQ(decimals, 4);
  decimals = 2;
  EXPECT_TRUE(YNumberFormat(1e12L, 0, decimals));
  EXPECT_EQ(decimals, 2);
  decimals = 2;
  EXPECT_TRUE(YNumberFormat(1, 1e-11L, decimals));
}

}  // namespace
}  // namespace tavel
