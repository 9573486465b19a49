#include "core/series/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tavel {
namespace {

struct FormatCase {
  Real value;
  const char* text;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, GivesTheOneTextForm) {
  EXPECT_EQ(FormatNumber(GetParam().value, 14), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatNumberTest,
    ::testing::Values(
        // zero, either sign
        FormatCase{0.0L, "0"}, FormatCase{-0.0L, "0"},
        // exponent form at and beyond the limits
        FormatCase{1.5e-10L, "1.50000E-0010"}, FormatCase{-3e9L, "-3.00000E+0009"},
        FormatCase{2e9L, "2.00000E+0009"}, FormatCase{-2e9L, "-2.00000E+0009"},
        FormatCase{2e-9L, "2.00000E-0009"}, FormatCase{-2e-9L, "-2.00000E-0009"},
        FormatCase{1.23456789012E-10L, "1.23457E-0010"}, FormatCase{1e4000L, "1.00000E+4000"},
        FormatCase{-9.999995e-300L, "-1.00000E-0299"},
        // whole numbers
        FormatCase{5.0L, "5"}, FormatCase{12.0L, "12"}, FormatCase{-7.0L, "-7"},
        FormatCase{1999999999.0L, "1999999999"},
        // fixed form
        FormatCase{1999999999.5L, "1999999999.5"}, FormatCase{0.1L, ".1"},
        FormatCase{-0.1L, "-.1"}, FormatCase{0.25L, ".25"}, FormatCase{-0.5L, "-.5"},
        FormatCase{1e-5L, ".00001"}, FormatCase{2.5L, "2.5"},
        FormatCase{3.14159265358979L, "3.14159265359"},
        FormatCase{123.456789012345L, "123.456789012"},
        // truncated, not rounded, at 14 characters
        FormatCase{-0.987654321098L, "-.98765432109"},
        // rounding to 12 significant digits carries into the integer part
        FormatCase{9.9999999999999L, "10"}, FormatCase{0.0999999999999999L, ".1"},
        // below 1e-2 the twelfth decimal is the last one kept
        FormatCase{3.123456789e-9L, ".000000003123"}, FormatCase{0.001234567891234L, ".001234567891"}));

TEST(FormatNumber, NonFiniteValuesDoNotCrash) {
  EXPECT_FALSE(FormatNumber(std::numeric_limits<Real>::infinity(), 14).empty());
  EXPECT_FALSE(FormatNumber(std::numeric_limits<Real>::quiet_NaN(), 14).empty());
}

TEST(NormalizeDecimalPoint, ReplacesEveryComma) {
  EXPECT_EQ(NormalizeDecimalPoint("1,5"), "1.5");
  EXPECT_EQ(NormalizeDecimalPoint("1,2,3"), "1.2.3");
  EXPECT_EQ(NormalizeDecimalPoint("abc"), "abc");
}

TEST(PowerAndLog10, FollowTheirDefinitions) {
  EXPECT_NEAR(static_cast<double>(Power(2, 10)), 1024.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(Power(10, -2)), 0.01, 1e-16);
  EXPECT_NEAR(static_cast<double>(Log10(1000)), 3.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(Log10(0.5)), -0.30102999566398, 1e-13);
  for (Real bad : {0.0L, -1.0L}) {
    EXPECT_THROW(Power(bad, 2), FloatError);
    EXPECT_THROW(Log10(bad), FloatError);
  }
}

struct ParseCase {
  const char* text;
  bool ok;
  Real value;
};

class ParseNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, WholeTextMustBeANumber) {
  const auto parsed = ParseNumber(GetParam().text);
  ASSERT_EQ(parsed.has_value(), GetParam().ok) << GetParam().text;
  if (parsed) {
    EXPECT_EQ(*parsed, GetParam().value) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseNumberTest,
    ::testing::Values(ParseCase{"2.5", true, 2.5L}, ParseCase{"-2.5", true, -2.5L},
                      ParseCase{"+7", true, 7.0L}, ParseCase{".5", true, 0.5L},
                      ParseCase{"5.", true, 5.0L}, ParseCase{"-.5e1", true, -5.0L},
                      ParseCase{"1E+4932", true, 1.0E+4932L}, ParseCase{"1e-3", true, 0.001L},
                      ParseCase{"  42  ", true, 42.0L}, ParseCase{"1e-6000", true, 0.0L},
                      ParseCase{"0.000e9999", true, 0.0L},
                      ParseCase{"", false, 0}, ParseCase{" ", false, 0},
                      ParseCase{"-", false, 0}, ParseCase{".", false, 0},
                      ParseCase{"1,5", false, 0}, ParseCase{"abc", false, 0},
                      ParseCase{"1e", false, 0}, ParseCase{"1e+", false, 0},
                      ParseCase{"12x", false, 0}, ParseCase{"1 2", false, 0},
                      ParseCase{"inf", false, 0}, ParseCase{"nan", false, 0},
                      ParseCase{"0x10", false, 0}, ParseCase{"--1", false, 0},
                      ParseCase{"1e99999", false, 0}));

TEST(ParseNumber, KeepsFullExtendedPrecision) {
  const auto parsed = ParseNumber("0.1");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*parsed, 0.1L);
  EXPECT_NE(*parsed, static_cast<Real>(0.1));
}

TEST(ParseNumber, ReadsSubnormalValues) {
  const auto tiny = ParseNumber("-1e-4940");
  ASSERT_TRUE(tiny);
  EXPECT_LT(*tiny, 0);
  EXPECT_GT(*tiny, -1e-4939L);
}

TEST(ParseInteger, DecimalSignBlanksAndHexadecimal) {
  EXPECT_EQ(ParseInteger("10"), 10);
  EXPECT_EQ(ParseInteger(" -3 "), -3);
  EXPECT_EQ(ParseInteger("+4"), 4);
  EXPECT_EQ(ParseInteger("$1F"), 31);
  EXPECT_EQ(ParseInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInteger("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "abc", "1.5", "2147483648", "$", "$G", "1 2", "$100000000"}) {
    EXPECT_FALSE(ParseInteger(bad)) << bad;
  }
}

TEST(SeriesColors, TablesAtTheirEndsAndOutOfRange) {
  EXPECT_EQ(SeriesColor(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(SeriesColor(1), (Rgb{0, 255, 0}));
  EXPECT_EQ(SeriesColor(4), (Rgb{255, 255, 255}));
  EXPECT_EQ(SeriesColor(9), (Rgb{255, 255, 0}));
  EXPECT_EQ(SeriesColor(21), (Rgb{0, 127, 255}));
  EXPECT_EQ(PrintSeriesColor(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PrintSeriesColor(4), (Rgb{0, 0, 0}));
  EXPECT_EQ(PrintSeriesColor(9), (Rgb{127, 127, 0}));
  EXPECT_EQ(PrintSeriesColor(14), (Rgb{0, 0, 255}));
  EXPECT_EQ(PrintSeriesColor(21), (Rgb{0, 127, 127}));
  for (int outside : {-1, 22, 23, 1000}) {
    EXPECT_EQ(SeriesColor(outside), (Rgb{255, 255, 255})) << outside;
    EXPECT_EQ(PrintSeriesColor(outside), (Rgb{0, 0, 0})) << outside;
  }
}

}  // namespace
}  // namespace tavel
