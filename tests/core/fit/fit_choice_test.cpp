#include "core/fit/fit_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/series/number_text.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel {
namespace {

using testing::AddSeries;

class FitChoiceTest : public ::testing::Test {
 protected:
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
};

TEST_F(FitChoiceTest, LinearLabelsAndEquation) {
  Series& s = AddSeries(ws, {{1, 3}, {2, 5}, {3, 4}, {4, 6}});
  s.Fit.FitKind = 1;
  TFitObj(s).RunFit();
  const auto labels = FitLabelTexts(s.Fit);
  EXPECT_EQ(labels[0], "A = 2.5");
  EXPECT_EQ(labels[1], "B = .8");
  EXPECT_EQ(labels[2], "");
  EXPECT_EQ(labels[6], "R^2 = .64");
  EXPECT_EQ(SampleEquation(1), "Y = A + B*X");
}

// Which of Label1..Label7 a kind fills.
TEST(FitLabelTextsTest, CoefficientsShownPerKind) {
  const struct {
    std::int32_t kind;
    const char* filled;  // one character per label: x filled, . empty
  } cases[] = {{0, "......."}, {2, "xxx...x"}, {5, "xxxxxxx"}, {6, "xx....x"}, {8, "xx....x"}};
  for (const auto& c : cases) {
    FitResult fit;
    fit.FitKind = c.kind;
    const auto labels = FitLabelTexts(fit);
    std::string filled;
    for (const std::string& l : labels) filled += l.empty() ? '.' : 'x';
    EXPECT_EQ(filled, c.filled) << "kind " << c.kind;
  }
  EXPECT_EQ(SampleEquation(0), "");
  EXPECT_EQ(SampleEquation(7), "Y = A*e^(B*X)");
}

TEST(FitErrorPercentTest, ValuesAsTheCellsShowThem) {
  const struct {
    Real y, yFit;
    const char* shown;
  } cases[] = {{0, 2, "1.00000E+0100"},
               {0, -2, "-1.00000E+0100"},
               {0, 0, "1.00000E+1000"},
               {4, 5, "25"},
               {-4, -3, "-25"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatNumber(FitErrorPercent(c.y, c.yFit), 14), c.shown);
  }
}

TEST_F(FitChoiceTest, ErrorListingHeadsTheColumnAndLeavesIncompleteRowsEmpty) {
  AddSeries(ws, {{9, 9}});
  AddSeries(ws, {{9, 9}});
  Series& s = AddSeries(ws, {{1, 2}, {2, 4}, {3, 7}});
  ASSERT_EQ(s.SeriesNumber, 3);
  EXPECT_EQ(ListFitError(s), FitErrorOutcome::NoFit);
  s.Fit.FitKind = 1;
  TFitObj(s).RunFit();
  EXPECT_EQ(s.HeaderText(kFitColumn), "          Y3 Fit");
  const Real yFit = s.Points[0].YFit;
  EXPECT_EQ(ListFitError(s), FitErrorOutcome::Listed);
  EXPECT_EQ(s.HeaderText(kFitColumn), "   % Error YFit");
  EXPECT_EQ(s.Cells.Number(1, kFitColumn), (yFit - 2) * 100 / 2);
  EXPECT_TRUE(s.Cells.IsEmpty(4, kFitColumn));
}

TEST_F(FitChoiceTest, ErrorListingAfterARefusedFitBeepsClearsAndListsNothing) {
  Series& s = AddSeries(ws, {{1, 2}, {2, 4}, {3, 7}});
  s.Fit.FitKind = kFitPower;
  TFitObj(s).RunFit();
  s.GraphType = kGraphBarFit;
  ASSERT_TRUE(s.FitActive);
  s.Cells.SetNumber(4, kXColumn, -1);  // typed with an empty Y: the fit stays
  s.Cells.SetNumber(4, kYColumn, 1);
  const int beeps = prompts.beeps;
  EXPECT_EQ(ListFitError(s), FitErrorOutcome::Refused);
  EXPECT_EQ(prompts.beeps, beeps + 1);
  EXPECT_FALSE(s.FitActive);
  EXPECT_EQ(s.Fit.FitKind, kFitNone);
  EXPECT_EQ(s.GraphType, kGraphBar);
  EXPECT_EQ(s.HeaderText(kFitColumn), "          Y1 Fit");
  for (int row = 1; row <= 4; ++row) EXPECT_TRUE(s.Cells.IsEmpty(row, kFitColumn)) << row;
}

TEST_F(FitChoiceTest, ClearFitFallsBackEvenWithoutAFit) {
  Series& s = AddSeries(ws, {{1, 2}});
  for (const auto& [before, after] : std::vector<std::pair<std::int32_t, std::int32_t>>{
           {kGraphBarFit, kGraphBar}, {kGraphLineFit, kGraphLine}, {kGraphNone, kGraphNone}}) {
    s.GraphType = before;
    ClearFitAndGraphType(s);
    EXPECT_EQ(s.GraphType, after);
  }
}

TEST_F(FitChoiceTest, SnapshotPutsBackRowsCellsAndFit) {
  Series& s = AddSeries(ws, {{3, 1}, {1, 5}, {2, 4}});
  s.Cells.SetNumber(4, kXColumn, 7);  // X without Y
  s.Cells.SetText(2, kYColumn, "5,0");
  const FitSnapshot opening(s);
  s.Fit.FitKind = 2;
  TFitObj(s).RunFit();
  ASSERT_TRUE(s.FitActive);
  ASSERT_EQ(s.Cells.Text(1, kXColumn), "1");  // the fit sorted the rows
  opening.Restore(s);
  EXPECT_FALSE(s.FitActive);
  EXPECT_EQ(s.Fit.FitKind, kFitNone);
  EXPECT_EQ(s.Cells.Text(1, kXColumn), "3");
  EXPECT_EQ(s.Cells.Text(2, kYColumn), "5,0");
  EXPECT_EQ(s.Cells.Text(4, kXColumn), "7");
  EXPECT_TRUE(s.Cells.IsEmpty(1, kFitColumn));
}

}  // namespace
}  // namespace tavel
