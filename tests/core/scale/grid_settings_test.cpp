#include "core/scale/grid_settings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class GridTest : public ::testing::Test {
 protected:
  testing::ScriptedPrompts prompts;
  GraphSettings s;
};

// --- Automatic grid ----------------------------------------------------------------------------

struct Counts {
  int major, minor, ticks, decimals;
};

struct AutoGridCase {
  Real range;
  Counts x, y;
};

void PrintTo(const AutoGridCase& c, std::ostream* os) {
  *os << "range 0.." << static_cast<double>(c.range);
}

class AutoGridTable : public GridTest, public ::testing::WithParamInterface<AutoGridCase> {};

TEST_P(AutoGridTable, ChoosesCountsFromTheRange) {
  const AutoGridCase& c = GetParam();
  s.XScaleMax = s.YLScaleMax = s.YRScaleMax = c.range;
  s.XScaleMin = s.YLScaleMin = s.YRScaleMin = 0;
  GridFields f = GridDialogFields(s);

  ASSERT_TRUE(AutoGridX(s, f, prompts));
  EXPECT_EQ(s.XMajorGrid, c.x.major);
  EXPECT_EQ(s.XMinorGrid, c.x.minor);
  EXPECT_EQ(s.XTicks, c.x.ticks);
  EXPECT_EQ(s.XDecimals, c.x.decimals);
  EXPECT_EQ(f.XMajor, std::to_string(c.x.major));
  EXPECT_EQ(f.XMinor, std::to_string(c.x.minor));
  EXPECT_EQ(f.XTicks, std::to_string(c.x.ticks));
  EXPECT_EQ(f.XDec, std::to_string(c.x.decimals));

  ASSERT_TRUE(AutoGridYL(s, f, prompts));
  EXPECT_EQ(s.YMajorGrid, c.y.major);
  EXPECT_EQ(s.YMinorGrid, c.y.minor);
  EXPECT_EQ(s.YLTicks, c.y.ticks);
  EXPECT_EQ(s.YLDecimals, c.y.decimals);
  EXPECT_EQ(f.YLTicks, std::to_string(c.y.ticks));

  s.YMajorGrid = s.YMinorGrid = 0;
  ASSERT_TRUE(AutoGridYR(s, f, prompts));
  EXPECT_EQ(s.YMajorGrid, c.y.major);
  EXPECT_EQ(s.YMinorGrid, c.y.minor);
  EXPECT_EQ(s.YRTicks, c.y.ticks);
  EXPECT_EQ(s.YRDecimals, c.y.decimals);
  EXPECT_EQ(f.YRDec, std::to_string(c.y.decimals));

  // The range itself never changes.
  EXPECT_EQ(s.XScaleMax, c.range);
  EXPECT_EQ(s.YRScaleMin, 0);
  EXPECT_EQ(prompts.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(WorkedTable, AutoGridTable,
                         ::testing::Values(AutoGridCase{100, {10, 5, 5, 0}, {10, 5, 5, 0}},
                                           AutoGridCase{50, {10, 5, 5, 0}, {10, 5, 5, 0}},
                                           AutoGridCase{1, {10, 5, 5, 1}, {10, 5, 5, 1}},
                                           AutoGridCase{0.5L, {10, 5, 5, 1}, {10, 5, 5, 1}},
                                           AutoGridCase{60, {10, 6, 5, 0}, {20, 3, 10, 0}},
                                           AutoGridCase{7, {7, 10, 7, 1}, {14, 5, 7, 1}},
                                           AutoGridCase{3, {5, 6, 5, 1}, {15, 2, 15, 1}},
                                           AutoGridCase{17, {17, 5, 17, 0}, {17, 5, 17, 0}},
                                           AutoGridCase{12.5L, {5, 5, 5, 0}, {5, 5, 5, 0}},
                                           AutoGridCase{230, {10, 1, 5, -1}, {10, 1, 5, -1}},
                                           AutoGridCase{12.34L, {1, 1, 1, 2}, {1, 1, 1, 2}}));

TEST_F(GridTest, AutoGridUsesTheSpanWhateverTheOrderAndSign) {
  s.XScaleMax = -20;
  s.XScaleMin = 40;  // typed upside down: the span is still 60
  GridFields f;
  ASSERT_TRUE(AutoGridX(s, f, prompts));
  EXPECT_EQ(s.XMajorGrid, 10);
  EXPECT_EQ(s.XMinorGrid, 6);
}

TEST_F(GridTest, AutoGridRefusesLogAxesEqualLimitsAndUnusableRanges) {
  const Real inf = std::numeric_limits<Real>::infinity();
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  struct Refusal {
    bool logX, logY;
    Axis axis;
    Real max, min;
  };
  for (const Refusal& r :
       {Refusal{true, false, Axis::X, 10, 0}, Refusal{false, true, Axis::YL, 10, 0},
        Refusal{false, true, Axis::YR, 10, 0}, Refusal{false, false, Axis::X, 4, 4},
        Refusal{false, false, Axis::YL, 1e4932L, -1e4932L}, Refusal{false, false, Axis::YR, inf, 0},
        Refusal{false, false, Axis::X, nan, 1}}) {
    GraphSettings g;
    g.LogX = r.logX;
    g.LogY = r.logY;
    g.XScaleMax = g.YLScaleMax = g.YRScaleMax = r.max;
    g.XScaleMin = g.YLScaleMin = g.YRScaleMin = r.min;
    g.XMajorGrid = g.YMajorGrid = 3;
    GridFields f = GridDialogFields(g);
    const GridFields before = f;
    prompts.beeps = 0;
    EXPECT_FALSE(AutoGrid(g, r.axis, f, prompts));
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(g.XMajorGrid, 3);
    EXPECT_EQ(g.YMajorGrid, 3);
    EXPECT_EQ(f.XMajor, before.XMajor);
    EXPECT_EQ(f.YMajor, before.YMajor);
  }
}

TEST_F(GridTest, TinyAndHugeRangesEnd) {
  for (const Real range : {1e-4940L, 1e-300L, 1e300L, 1e4931L}) {
    s.XScaleMax = range;
    s.XScaleMin = 0;
    EXPECT_TRUE(AutoGrid(s, Axis::X, prompts));
  }
  EXPECT_EQ(prompts.beeps, 0);
}

// --- Typed fields ------------------------------------------------------------------------------

GridFields ValidFields() {
  GridFields f;
  f.XMinor = "2";
  f.XMajor = "4";
  f.XTicks = "3";
  f.XDec = "1";
  f.YMinor = "5";
  f.YMajor = "6";
  f.YLTicks = "7";
  f.YLDec = "0";
  f.YRTicks = "8";
  f.YRDec = "8";
  return f;
}

struct FieldCase {
  std::string GridFields::*field;
  const char* text;
  bool accepted;
  std::int32_t GraphSettings::*setting;
  std::int32_t value;  // the setting afterwards
};

class GridFieldTable : public GridTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(GridFieldTable, ReadsOrBeepsAndTakesTheOthers) {
  const FieldCase& c = GetParam();
  s.*c.setting = 9;
  GridFields f = ValidFields();
  f.*c.field = c.text;
  ApplyGridFields(s, f, prompts);
  EXPECT_EQ(prompts.beeps, c.accepted ? 0 : 1);
  EXPECT_EQ(s.*c.setting, c.value);
  // Every other field was still read.
  GraphSettings expected;
  ApplyGridFields(expected, ValidFields(), prompts);
  expected.*c.setting = c.value;
  EXPECT_EQ(s.XMinorGrid, expected.XMinorGrid);
  EXPECT_EQ(s.XMajorGrid, expected.XMajorGrid);
  EXPECT_EQ(s.XTicks, expected.XTicks);
  EXPECT_EQ(s.XDecimals, expected.XDecimals);
  EXPECT_EQ(s.YMinorGrid, expected.YMinorGrid);
  EXPECT_EQ(s.YMajorGrid, expected.YMajorGrid);
  EXPECT_EQ(s.YLTicks, expected.YLTicks);
  EXPECT_EQ(s.YLDecimals, expected.YLDecimals);
  EXPECT_EQ(s.YRTicks, expected.YRTicks);
  EXPECT_EQ(s.YRDecimals, expected.YRDecimals);
}

using F = GridFields;
using G = GraphSettings;

INSTANTIATE_TEST_SUITE_P(OutOfRangeAndForms, GridFieldTable,
                         ::testing::Values(
                             // out of range: beep, old value kept
                             FieldCase{&F::XMinor, "11", false, &G::XMinorGrid, 9},
                             FieldCase{&F::YMinor, "0", false, &G::YMinorGrid, 9},
                             FieldCase{&F::XMajor, "0", false, &G::XMajorGrid, 9},
                             FieldCase{&F::YMajor, "21", false, &G::YMajorGrid, 9},
                             FieldCase{&F::XTicks, "21", false, &G::XTicks, 9},
                             FieldCase{&F::YRTicks, "0", false, &G::YRTicks, 9},
                             FieldCase{&F::XDec, "-1", false, &G::XDecimals, 9},
                             FieldCase{&F::YLDec, "9", false, &G::YLDecimals, 9},
                             // not a whole integer
                             FieldCase{&F::XMajor, "1,5", false, &G::XMajorGrid, 9},
                             FieldCase{&F::XMajor, "five", false, &G::XMajorGrid, 9},
                             FieldCase{&F::XMajor, "$", false, &G::XMajorGrid, 9},
                             FieldCase{&F::XMajor, "99999999999", false, &G::XMajorGrid, 9},
                             FieldCase{&F::XMajor, "$FFFFFFFF", false, &G::XMajorGrid, 9},
                             // the limits themselves, blanks, sign and hexadecimal
                             FieldCase{&F::XMinor, "10", true, &G::XMinorGrid, 10},
                             FieldCase{&F::YMajor, "20", true, &G::YMajorGrid, 20},
                             FieldCase{&F::YRDec, "0", true, &G::YRDecimals, 0},
                             FieldCase{&F::XMajor, "  +12", true, &G::XMajorGrid, 12},
                             FieldCase{&F::YLTicks, "$A", true, &G::YLTicks, 10},
                             FieldCase{&F::XDec, "$8", true, &G::XDecimals, 8},
                             // empty: 1, decimals 0
                             FieldCase{&F::XMinor, "", true, &G::XMinorGrid, 1},
                             FieldCase{&F::YRTicks, "", true, &G::YRTicks, 1},
                             FieldCase{&F::XDec, "", true, &G::XDecimals, 0}));

TEST_F(GridTest, LogFieldsAreSkipped) {
  s.LogX = true;
  GridFields f = GridDialogFields(s);
  EXPECT_EQ(f.XMinor, "Log");
  EXPECT_EQ(f.XDec, "Log");
  EXPECT_FALSE(f.XEnabled);
  EXPECT_TRUE(f.YEnabled);
  EXPECT_EQ(f.YMajor, "1");
  f.YMajor = "12";
  s.XMajorGrid = 7;
  ApplyGridFields(s, f, prompts);
  EXPECT_EQ(prompts.beeps, 0);
  EXPECT_EQ(s.XMajorGrid, 7);
  EXPECT_EQ(s.YMajorGrid, 12);

  s.LogY = true;
  f = GridDialogFields(s);
  EXPECT_EQ(f.YRTicks, "Log");
  EXPECT_FALSE(f.YEnabled);
  ApplyGridFields(s, f, prompts);
  EXPECT_EQ(prompts.beeps, 0);
  EXPECT_EQ(s.YMajorGrid, 12);
}

// --- Clear and View ----------------------------------------------------------------------------

TEST_F(GridTest, ClearResetsOnlyTheLinearAxes) {
  const auto scramble = [](GraphSettings& g) {
    g.XMinorGrid = g.XMajorGrid = g.XTicks = g.XDecimals = 7;
    g.YMinorGrid = g.YMajorGrid = g.YLTicks = g.YLDecimals = g.YRTicks = g.YRDecimals = 7;
  };
  scramble(s);
  GridFields f = ValidFields();
  EXPECT_TRUE(ClearGrid(s, f, prompts));
  EXPECT_EQ(s.XMajorGrid, 1);
  EXPECT_EQ(s.XDecimals, 2);
  EXPECT_EQ(s.YRDecimals, 2);
  EXPECT_EQ(f.XDec, "2");
  EXPECT_EQ(f.YRDec, "2");
  EXPECT_EQ(f.YLTicks, "1");

  scramble(s);
  s.LogY = true;
  f = GridDialogFields(s);
  EXPECT_TRUE(ClearGrid(s, f, prompts));
  EXPECT_EQ(s.XMinorGrid, 1);
  EXPECT_EQ(s.XDecimals, 2);
  EXPECT_EQ(s.YMajorGrid, 7);
  EXPECT_EQ(s.YRDecimals, 7);
  EXPECT_EQ(f.YMajor, "Log");
  EXPECT_EQ(prompts.beeps, 0);

  scramble(s);
  s.LogX = true;
  EXPECT_FALSE(ClearGrid(s, prompts));
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(s.XMajorGrid, 7);
  EXPECT_EQ(s.YMajorGrid, 7);
}

TEST_F(GridTest, ViewLeavesMultiScaleOnlyWhereTheRangeIsUsable) {
  s.XScaleMax = 10;
  s.YLScaleMax = s.YLScaleMin = 3;
  s.YRScaleMin = -1;
  EXPECT_TRUE(ViewGrid(s, ValidFields(), prompts));
  EXPECT_EQ(s.XMajorGrid, 4);
  EXPECT_FALSE(s.MultiScaleX);
  EXPECT_TRUE(s.MultiScaleYL);
  EXPECT_FALSE(s.MultiScaleYR);

  GraphSettings both;
  both.LogX = both.LogY = true;
  EXPECT_FALSE(ViewGrid(both, ValidFields(), prompts));
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(both.XMajorGrid, 1);
}

}  // namespace
}  // namespace tavel
