#include "core/scale/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "core/series/number_text.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel {
namespace {

using Points = std::initializer_list<std::pair<Real, Real>>;

class ScaleTest : public ::testing::Test {
 protected:
  Series& AddSeries(Points points, bool leftAxis = true) {
    return testing::AddSeries(ws, points, leftAxis);
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
};

// --- Nice limits -------------------------------------------------------------------------------

struct NiceCase {
  Real max, min;
  Axis axis;
  Real limitMax, limitMin;
  int major, minor, ticks, decimals;
};

std::string Name(Axis axis) {
  return axis == Axis::X ? "X" : axis == Axis::YL ? "YL" : "YR";
}

void PrintTo(const NiceCase& c, std::ostream* os) {
  *os << FormatNumber(c.max, 14) << ", " << FormatNumber(c.min, 14) << " on " << Name(c.axis);
}

class NiceScaleTable : public ScaleTest, public ::testing::WithParamInterface<NiceCase> {};

TEST_P(NiceScaleTable, RoundsExtremesAndChoosesTheGrid) {
  const NiceCase& c = GetParam();
  if (c.axis == Axis::X) {
    AddSeries({{c.min, 1}, {c.max, 2}});
  } else {
    AddSeries({{1, c.max}, {2, c.min}}, c.axis == Axis::YL);
  }
  ScaleFields fields;
  ASSERT_TRUE(NiceScale(ws, c.axis, fields));

  const Real max = ScaleMax(s, c.axis), min = ScaleMin(s, c.axis);
  EXPECT_EQ(FormatNumber(max, 14), FormatNumber(c.limitMax, 14));
  EXPECT_EQ(FormatNumber(min, 14), FormatNumber(c.limitMin, 14));
  EXPECT_NEAR(static_cast<double>(max), static_cast<double>(c.limitMax), 1e-12);
  EXPECT_NEAR(static_cast<double>(min), static_cast<double>(c.limitMin), 1e-12);
  EXPECT_EQ(MaxField(fields, c.axis), FormatNumber(max, 14));
  EXPECT_EQ(MinField(fields, c.axis), FormatNumber(min, 14));

  const bool x = c.axis == Axis::X;
  EXPECT_EQ(x ? s.XMajorGrid : s.YMajorGrid, c.major);
  EXPECT_EQ(x ? s.XMinorGrid : s.YMinorGrid, c.minor);
  EXPECT_EQ(x ? s.XTicks : c.axis == Axis::YL ? s.YLTicks : s.YRTicks, c.ticks);
  EXPECT_EQ(x ? s.XDecimals : c.axis == Axis::YL ? s.YLDecimals : s.YRDecimals, c.decimals);
  EXPECT_FALSE(MultiScale(s, c.axis));
  EXPECT_EQ(prompts.beeps, 0);
}

// Each Y row is checked on both Y axes: they differ only in which ticks and decimals they own.
#define Y_ROWS(max, min, lmax, lmin, ma, mi, ti, de)                   \
  NiceCase{max, min, Axis::YL, lmax, lmin, ma, mi, ti, de}, NiceCase { \
    max, min, Axis::YR, lmax, lmin, ma, mi, ti, de                     \
  }

INSTANTIATE_TEST_SUITE_P(
    WorkedTable, NiceScaleTable,
    ::testing::Values(
        NiceCase{97.3L, 3.2L, Axis::X, 98, 0, 7, 7, 7, 0}, Y_ROWS(97.3L, 3.2L, 98, 0, 14, 7, 7, 0),
        NiceCase{1234, 17, Axis::X, 1400, 0, 7, 2, 7, 0}, Y_ROWS(1234, 17, 1300, 0, 13, 5, 13, 0),
        NiceCase{5, 2, Axis::X, 5, 2, 5, 6, 5, 1},  //
        Y_ROWS(5, 2, 5, 2, 15, 2, 15, 1), NiceCase{0.5L, 0.25L, Axis::X, 0.5L, 0.25L, 5, 5, 5, 2},
        NiceCase{3, 2, Axis::X, 3, 2, 10, 5, 5, 2}, NiceCase{10, -3, Axis::X, 10, -10, 10, 2, 5, 0},
        Y_ROWS(10, -3, 10, -10, 20, 5, 10, 0), NiceCase{5, -5, Axis::X, 5, -5, 10, 5, 5, 0},
        NiceCase{100.5L, 100, Axis::X, 100.5L, 100, 10, 5, 5, 2},
        NiceCase{250, 0, Axis::X, 250, 0, 5, 5, 5, 0},
        NiceCase{-1, -5, Axis::X, 0, -5, 10, 5, 5, 1},
        NiceCase{-0.25L, -0.875L, Axis::X, 0, -0.9L, 9, 10, 9, 2},
        Y_ROWS(-0.25L, -0.875L, 0, -0.88L, 11, 8, 11, 2),
        NiceCase{17, 0, Axis::X, 18, 0, 9, 2, 9, 0}, Y_ROWS(17, 0, 17, 0, 17, 5, 17, 0)));

TEST_F(ScaleTest, EqualExtremesChangeNothingBeyondTheFind) {
  AddSeries({{4, 1}, {4, 9}});
  AddSeries({{4, 2}, {4, 3}});
  s.XScaleMax = 50;
  s.XMajorGrid = 3;
  EXPECT_FALSE(NiceScaleX(ws));
  EXPECT_EQ(s.XScaleMax, 4);
  EXPECT_EQ(s.XScaleMin, 4);
  EXPECT_EQ(s.XMajorGrid, 3);
  EXPECT_TRUE(s.MultiScaleX);
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(ScaleTest, NiceLimitsAlwaysEncloseTheDataAndEnd) {
  // Extremes across many decades and both signs: the limits contain the data, and away from
  // zero-spanning ranges the major count is one the axis accepts.
  const Real values[] = {-98765.4321L, -1234,    -17,     -3.2L,   -1,        -0.875L,
                         -0.013L,      0,        0.0042L, 0.25L,   1,         2,
                         3.14159L,     17,       97.3L,   100.5L,  1001,      4321.5L,
                         1e7L,         6.02e23L, 1e-300L, 1e4000L, -1e-4000L, -1e4000L};
  for (const Real a : values) {
    for (const Real b : values) {
      if (a <= b) continue;
      for (const Axis axis : {Axis::X, Axis::YL}) {
        ws.DestroyAllSeries();
        if (axis == Axis::X) {
          AddSeries({{b, 0}, {a, 0}});
        } else {
          AddSeries({{0, a}, {1, b}});
        }
        SCOPED_TRACE(FormatNumber(a, 14) + " .. " + FormatNumber(b, 14) + " on " + Name(axis));
        ASSERT_TRUE(NiceScale(ws, axis));
        const Real max = ScaleMax(s, axis), min = ScaleMin(s, axis);
        const Real slack = 1e-15L * std::fmax(std::fabs(a), std::fabs(b));
        EXPECT_GE(max, a - slack);
        EXPECT_LE(min, b + slack);
        EXPECT_GT(max, min);
        const int major = axis == Axis::X ? s.XMajorGrid : s.YMajorGrid;
        if (!(max > 0 && min < 0)) {
          EXPECT_GE(major, 4);
          EXPECT_LE(major, axis == Axis::X ? 10 : 20);
        }
      }
    }
  }
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(ScaleTest, LimitsThatCannotBeRoundedBeepAndKeepTheFind) {
  // Rounding 1.1E+4932 up overflows the extended range; the span of +-1.1E+4932 does too.
  for (const auto& [a, b] : {std::pair<Real, Real>{1.15e4932L, 1e4900L},
                             {1.1e4932L, -1.1e4932L},
                             {-1e4900L, -1.15e4932L}}) {
    ws.DestroyAllSeries();
    prompts.beeps = 0;
    AddSeries({{b, 0}, {a, 0}});
    s.XMajorGrid = 3;
    s.MultiScaleX = true;
    EXPECT_FALSE(NiceScaleX(ws));
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(s.XScaleMax, a);
    EXPECT_EQ(s.XScaleMin, b);
    EXPECT_EQ(s.XMajorGrid, 3);
    EXPECT_TRUE(s.MultiScaleX);
  }
}

// --- Finding the extremes ----------------------------------------------------------------------

TEST_F(ScaleTest, NoSeriesGivesZeroToZero) {
  s.XScaleMax = s.YLScaleMin = s.YRScaleMax = 7;
  ScaleFields fields;
  for (const Axis axis : {Axis::X, Axis::YL, Axis::YR}) {
    const AxisRange r = FindScale(ws, axis, fields);
    EXPECT_EQ(r.Max, 0);
    EXPECT_EQ(r.Min, 0);
    EXPECT_EQ(ScaleMax(s, axis), 0);
    EXPECT_EQ(ScaleMin(s, axis), 0);
    EXPECT_EQ(MaxField(fields, axis), "0");
    EXPECT_EQ(MinField(fields, axis), "0");
  }
  EXPECT_FALSE(NiceScaleYR(ws));
}

TEST_F(ScaleTest, EachAxisTakesItsOwnSeriesAndFindAllAgrees) {
  AddSeries({{-2, 1}, {3, 5}});
  AddSeries({{1, -2}, {7.5L, 10}}, false);
  AddSeries({{0, 2}, {1, 4}}, true);
  ScaleFields fields;
  FindScaleX(ws, fields);
  FindScaleYL(ws, fields);
  FindScaleYR(ws, fields);
  const GraphSettings found = s;
  EXPECT_EQ(found.XScaleMax, 7.5L);
  EXPECT_EQ(found.XScaleMin, -2);
  EXPECT_EQ(found.YLScaleMax, 5);
  EXPECT_EQ(found.YLScaleMin, 1);
  EXPECT_EQ(found.YRScaleMax, 10);
  EXPECT_EQ(found.YRScaleMin, -2);
  EXPECT_EQ(fields.MaxX, "7.5");

  s.XScaleMax = s.XScaleMin = s.YLScaleMax = s.YLScaleMin = s.YRScaleMax = s.YRScaleMin = 0;
  ScaleFields all;
  FindAllScales(ws, all);
  EXPECT_EQ(s.XScaleMax, found.XScaleMax);
  EXPECT_EQ(s.XScaleMin, found.XScaleMin);
  EXPECT_EQ(s.YLScaleMax, found.YLScaleMax);
  EXPECT_EQ(s.YLScaleMin, found.YLScaleMin);
  EXPECT_EQ(s.YRScaleMax, found.YRScaleMax);
  EXPECT_EQ(s.YRScaleMin, found.YRScaleMin);
  EXPECT_EQ(all.MaxX, fields.MaxX);
  EXPECT_EQ(all.MinYR, fields.MinYR);
}

TEST_F(ScaleTest, ASeriesWithFewerThanTwoPointsContributesItsOldExtents) {
  Series& old = AddSeries({{1, 0}, {3, 0}});
  AddSeries({{10, 0}, {20, 0}});
  FindScaleX(ws);
  ASSERT_EQ(s.XScaleMin, 1);
  old.Cells.Clear(2, kXColumn);  // one complete point left: not re-measured
  old.Cells.SetNumber(1, kXColumn, 15);
  FindScaleX(ws);
  EXPECT_EQ(s.XScaleMax, 20);
  EXPECT_EQ(s.XScaleMin, 1);
}

// --- Applying the fields -----------------------------------------------------------------------

TEST_F(ScaleTest, EqualTypedLimitsSwitchThatAxisToMultiScale) {
  ScaleFields f;
  f.AutoBox = kMultiScaleDisable;
  f.MaxX = "5";
  f.MinX = "5,0";
  f.MaxYL = "";
  f.MinYL = "";
  f.MaxYR = "10";
  f.MinYR = "-1";
  ApplyScaleFields(s, f, prompts);
  EXPECT_TRUE(s.MultiScaleX);
  EXPECT_EQ(s.XScaleMax, 5);
  EXPECT_TRUE(s.MultiScaleYL);  // both empty: 0 and 0
  EXPECT_EQ(s.YLScaleMax, 0);
  EXPECT_FALSE(s.MultiScaleYR);
  EXPECT_EQ(s.YRScaleMin, -1);
  EXPECT_EQ(prompts.beeps, 0);
}

class BadLimitText : public ScaleTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadLimitText, BeepsKeepsTheLimitAndTakesTheOtherFields) {
  s.XScaleMax = 42;
  ScaleFields f;
  f.MaxX = GetParam();
  f.MinX = "2,5";
  f.MaxYL = "7";
  f.MinYL = "-.5";
  f.MaxYR = "1E3";
  f.MinYR = "3";
  ApplyScaleFields(s, f, prompts);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(s.XScaleMax, 42);
  EXPECT_EQ(s.XScaleMin, 2.5L);
  EXPECT_EQ(s.YLScaleMax, 7);
  EXPECT_EQ(s.YLScaleMin, -0.5L);
  EXPECT_EQ(s.YRScaleMax, 1000);
  EXPECT_EQ(s.YRScaleMin, 3);
  EXPECT_FALSE(s.MultiScaleX);
}

INSTANTIATE_TEST_SUITE_P(AnyText, BadLimitText,
                         ::testing::Values("abc", "1.2.3", "12a", " ", "-", "1E", "$10", "nan",
                                           "inf", "-INF", "1E4932", "-1E4932", "1E99999", "1,5,0"));

TEST_F(ScaleTest, AxesInMultiScaleModeDoNotReadTheirFields) {
  ScaleFields f;
  f.AutoBox = kMultiScaleBoth;
  f.MaxX = f.MaxYL = f.MaxYR = "junk";
  s.XScaleMax = 3;
  ApplyScaleFields(s, f, prompts);
  EXPECT_EQ(prompts.beeps, 0);
  EXPECT_EQ(s.XScaleMax, 3);
  EXPECT_TRUE(s.MultiScaleX && s.MultiScaleYL && s.MultiScaleYR);

  f.AutoBox = kMultiScaleY;
  f.MaxX = "8";
  f.MinX = "1";
  ApplyScaleFields(s, f, prompts);
  EXPECT_EQ(prompts.beeps, 0);
  EXPECT_FALSE(s.MultiScaleX);
  EXPECT_EQ(s.XScaleMax, 8);
  EXPECT_TRUE(s.MultiScaleYL && s.MultiScaleYR);
}

// --- The Multi-Scale choice --------------------------------------------------------------------

struct ChoiceCase {
  bool logX, logY;
  int choice;
  bool refused;
};

class MultiScaleChoiceTable : public ScaleTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(MultiScaleChoiceTable, NeverCombinesMultiScaleWithALogAxis) {
  const ChoiceCase& c = GetParam();
  s.LogX = c.logX;
  s.LogY = c.logY;
  s.XScaleMax = s.YLScaleMax = s.YRScaleMax = 10;  // unequal limits: no Multi-Scale by equality
  s.MultiScaleX = s.MultiScaleYL = s.MultiScaleYR = false;  // as the dialog's opening leaves them
  ScaleFields f;
  ShowScaleFields(s, f);
  f.AutoBox = c.choice;
  // With both axes logarithmic nothing is applied, not even "Disable".
  EXPECT_EQ(MultiScaleChoiceChanged(s, f, prompts), !(c.logX && c.logY));
  EXPECT_EQ(prompts.beeps, c.refused ? 1 : 0);
  const int shown = c.refused ? kMultiScaleDisable : c.choice;
  EXPECT_EQ(f.AutoBox, shown);
  EXPECT_EQ(s.MultiScaleX, shown == kMultiScaleX || shown == kMultiScaleBoth);
  EXPECT_EQ(s.MultiScaleYL, shown == kMultiScaleY || shown == kMultiScaleBoth);
  EXPECT_FALSE(s.LogX && s.MultiScaleX);
  EXPECT_FALSE(s.LogY && (s.MultiScaleYL || s.MultiScaleYR));
}

INSTANTIATE_TEST_SUITE_P(LogCombinations, MultiScaleChoiceTable,
                         ::testing::Values(ChoiceCase{false, false, kMultiScaleBoth, false},
                                           ChoiceCase{false, true, kMultiScaleBoth, true},
                                           ChoiceCase{false, true, kMultiScaleY, true},
                                           ChoiceCase{false, true, kMultiScaleX, false},
                                           ChoiceCase{true, false, kMultiScaleX, true},
                                           ChoiceCase{true, false, kMultiScaleBoth, true},
                                           ChoiceCase{true, false, kMultiScaleY, false},
                                           ChoiceCase{true, true, kMultiScaleY, true},
                                           ChoiceCase{true, true, kMultiScaleDisable, true}));

TEST_F(ScaleTest, OpeningTheDialogAppliesNothingThenTheUsersChoiceApplies) {
  s.XScaleMax = 9;
  s.XScaleMin = 1;
  s.YLScaleMax = s.YLScaleMin = 0;
  ScaleFields f;
  f.MaxX = "junk";  // left over from an earlier show
  f.AutoBox = kMultiScaleDisable;
  EXPECT_TRUE(ScaleDialogOpen(s, f, prompts));
  EXPECT_FALSE(s.MultiScaleX || s.MultiScaleYL || s.MultiScaleYR);
  EXPECT_EQ(f.AutoBox, kMultiScaleDisable);
  EXPECT_EQ(f.MaxX, "9");
  EXPECT_EQ(f.MinX, "1");
  EXPECT_FALSE(f.ScaleDialogOpening);
  EXPECT_EQ(prompts.beeps, 0);

  f.MaxX = "12";
  EXPECT_TRUE(SetMultiScaleChoice(s, f, kMultiScaleY, prompts));
  EXPECT_TRUE(s.MultiScaleYL && s.MultiScaleYR);
  EXPECT_EQ(s.XScaleMax, 12);
  EXPECT_FALSE(SetMultiScaleChoice(s, f, kMultiScaleY, prompts));  // no change, no handler
}

TEST_F(ScaleTest, BothIsRefusedUnderLogY) {
  s.LogY = true;
  s.XScaleMax = s.YLScaleMax = s.YRScaleMax = 10;
  ScaleFields f;
  ScaleDialogOpen(s, f, prompts);
  SetMultiScaleChoice(s, f, kMultiScaleBoth, prompts);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(f.AutoBox, kMultiScaleDisable);
  EXPECT_FALSE(s.MultiScaleX || s.MultiScaleYL || s.MultiScaleYR);
}

}  // namespace
}  // namespace tavel
