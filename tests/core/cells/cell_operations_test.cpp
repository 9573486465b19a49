#include "core/cells/cell_operations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class CellOperationsTest : public ::testing::Test {
 protected:
  CellOperationsTest() {
    ws.Settings.NextDataSize = 6;
    s = &ws.CreateSeries();
  }

  // Text that reads as written becomes a number cell, as typed or loaded; other text ("1,5",
  // "abc") stays a free text.
  void PutColumn(int column, const std::vector<std::string>& texts) {
    std::int32_t row = 1;
    for (const std::string& text : texts) {
      if (const auto v = ParseNumber(text)) {
        s->Cells.SetNumber(row, column, *v);
      } else {
        s->Cells.SetText(row, column, text);
      }
      ++row;
    }
  }

  std::string Shown(std::int32_t row, int column) const { return s->Cells.Text(row, column); }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  Series* s = nullptr;
  const CellSet yColumn{CellSetKind::YColumnCells, {}, kXColumn};
};

struct StatisticsCase {
  std::vector<std::string> cells;
  const char* total;  // nullptr: the statistics are empty
  const char* average;
  std::string sigma;
};

class StatisticsTable : public CellOperationsTest,
                        public ::testing::WithParamInterface<StatisticsCase> {};

TEST_P(StatisticsTable, FieldsShowTotalAverageSigma) {
  const StatisticsCase& c = GetParam();
  PutColumn(kYColumn, c.cells);
  const CellStatistics stats = ComputeStatistics(s->Cells, yColumn);
  const StatisticsText text = FormatStatistics(stats);
  EXPECT_EQ(stats.empty, c.total == nullptr);
  EXPECT_EQ(stats.noSigma, c.total != nullptr && c.sigma.empty());
  EXPECT_EQ(text.total, c.total ? c.total : "");
  EXPECT_EQ(text.average, c.average ? c.average : "");
  EXPECT_EQ(text.sigma, c.sigma);
}

const std::string kSigma1234 = FormatNumber(std::sqrt(5.0L / 3.0L), 14);

INSTANTIATE_TEST_SUITE_P(
    Sets, StatisticsTable,
    ::testing::Values(StatisticsCase{{"1", "2", "3", "4"}, "10", "2.5", kSigma1234},
                      StatisticsCase{{"", "7", "abc"}, "7", "7", "0"},
                      StatisticsCase{
                          {"1,5", "", "2,5"}, "4", "2", FormatNumber(std::sqrt(0.5L), 14)},
                      StatisticsCase{{}, "0", "0", "0"},
                      // Large values close together: the one-pass Q - S*S/n loses every digit
                      // of the second set even in extended precision.
                      StatisticsCase{{"1700000001", "1700000002", "1700000003", "1700000004"},
                                     "6.80000E+0009",
                                     "1700000002.5",
                                     kSigma1234},
                      StatisticsCase{{"17000000001", "17000000002", "17000000003", "17000000004"},
                                     "6.80000E+0010",
                                     "1.70000E+0010",
                                     kSigma1234},
                      // Near the top of the range the sums overflow: blank fields, no error;
                      // when only the squares do, Total and Average still stand.
                      StatisticsCase{{"1e3000", "1"}, "1.00000E+3000", "5.00000E+2999", ""},
                      StatisticsCase{{"1e4932", "1e4932"}, nullptr, nullptr, ""}));

TEST_F(CellOperationsTest, CopyTextSeparatesByCarriageReturnOnly) {
  EXPECT_EQ(StatisticsCopyText({"10", "2.5", "1.29"}), "10\r2.5\r1.29");
}

TEST_F(CellOperationsTest, CursorInFitColumnGivesAnEmptySet) {
  PutColumn(kXColumn, {"1", "2"});
  PutColumn(kYColumn, {"3", "4"});
  const CellSet set{CellSetKind::SelectedCells, {kXColumn, 1, kYColumn, 2}, kFitColumn};
  const OperateOutcome outcome = OperateOnCells(*s, set, kCellPlusK, 1);
  EXPECT_EQ(FormatStatistics(outcome.statistics).total, "0");
  EXPECT_EQ(Shown(1, kXColumn), "1");
  EXPECT_EQ(Shown(2, kYColumn), "4");

  const CellSet inY{CellSetKind::SelectedCells, {kXColumn, 1, kYColumn, 2}, kYColumn};
  EXPECT_EQ(FormatStatistics(ComputeStatistics(s->Cells, inY)).total, "10");
}

struct OperationCase {
  int operation;
  Real v;
  Real k;
  const char* shown;  // FormatNumber of the result; nullptr: the value itself, exactly
  bool defined;
};

class OperationTable : public ::testing::TestWithParam<OperationCase> {};

TEST_P(OperationTable, Result) {
  const OperationCase& c = GetParam();
  const OperationResult r = ApplyCellOperation(c.operation, c.v, c.k);
  if (c.shown) {
    EXPECT_EQ(FormatNumber(r.value, 14), c.shown) << c.operation << " v " << c.v << " K " << c.k;
  } else {
    EXPECT_EQ(r.value, c.v) << c.operation << " v " << c.v << " K " << c.k;
  }
  EXPECT_EQ(r.defined, c.defined) << c.operation << " v " << c.v << " K " << c.k;
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, OperationTable,
    ::testing::Values(OperationCase{kRoundCell, 2.346L, 2, "2.35", true},
                      OperationCase{kRoundCell, 2.344L, 2, "2.34", true},
                      OperationCase{kRoundCell, 2.346L, 2.9L, "2.35", true},
                      OperationCase{kRoundCell, 2.7L, 2, "2.7", true},
                      OperationCase{kRoundCell, -2.7L, 2, "-2.7", true},
                      OperationCase{kRoundCell, 2.7L, 0, "3", true},
                      // Negatives mirror positives rather than being cut toward zero.
                      OperationCase{kRoundCell, -2.7L, 0, "-3", true},
                      OperationCase{kRoundCell, -2.34L, 1, "-2.3", true},
                      OperationCase{kRoundCell, -2.36L, 1.5L, "-2.4", true},
                      OperationCase{kRoundCell, 2.7L, -1, "0", true},
                      OperationCase{kRoundCell, -2.7L, -1, "0", true},
                      OperationCase{kRoundCell, 27, -1, "30", true},
                      OperationCase{kRoundCell, -27, -1, "-30", true},
                      // Extreme K: the power of ten leaves the range.
                      OperationCase{kRoundCell, 2.7L, -5000, nullptr, false},
                      OperationCase{kRoundCell, 2.7L, 5000, nullptr, false},
                      OperationCase{kRoundCell, 2.7L, 1e12L, nullptr, false},
                      // No decimals to round: the value stays, exactly.
                      OperationCase{kRoundCell, 1e20L, 2, nullptr, true},
                      OperationCase{kRoundCell, 1e3000L, 2, nullptr, true},
                      OperationCase{kRoundCell, -1e3000L, 5000, nullptr, true}));

INSTANTIATE_TEST_SUITE_P(
    Undefined, OperationTable,
    ::testing::Values(OperationCase{kCellDivideK, 3, 0, nullptr, false},
                      OperationCase{kCellDivideK, 3, 2, "1.5", true},
                      OperationCase{kCellPowerK, 2, 10, "1024", true},
                      OperationCase{kCellPowerK, 0, 2, nullptr, false},
                      OperationCase{kCellPowerK, -8, 2, nullptr, false},
                      OperationCase{kCellPowerK, 1e3000L, 2, nullptr, false},
                      OperationCase{kTenPowerCell, 3, 0, "1000", true},
                      OperationCase{kTenPowerCell, 5000, 0, nullptr, false},
                      OperationCase{kLog10Cell, 1000, 0, "3", true},
                      OperationCase{kLog10Cell, 0, 0, nullptr, false},
                      OperationCase{kLog10Cell, -5, 0, nullptr, false},
                      OperationCase{kReciprocalCell, 0, 0, nullptr, false},
                      OperationCase{kReciprocalCell, 4, 0, ".25", true},
                      OperationCase{kCellTimesK, 1e4000L, 1e4000L, nullptr, false},
                      OperationCase{kCellPlusK, 1e4932L, 1e4932L, nullptr, false},
                      OperationCase{kCellMinusK, 1, 3, "-2", true}));

TEST_F(CellOperationsTest, UndefinedCellsKeepTheirValueInStandardFormOnce) {
  PutColumn(kYColumn, {"1,5", "abc", "", "6"});
  s->FitActive = true;
  s->GraphType = kGraphLineFit;
  s->Cells.SetNumber(1, kFitColumn, 9);
  const OperateOutcome outcome = OperateOnCells(*s, yColumn, kCellDivideK, 0);
  EXPECT_TRUE(outcome.undefined);
  EXPECT_EQ(Shown(1, kYColumn), "1.5");
  EXPECT_EQ(Shown(2, kYColumn), "abc");
  EXPECT_EQ(Shown(3, kYColumn), "");
  EXPECT_EQ(Shown(4, kYColumn), "6");
  EXPECT_EQ(FormatStatistics(outcome.statistics).total, "7.5");
  EXPECT_FALSE(s->FitActive);
  EXPECT_EQ(Shown(1, kFitColumn), "");
}

TEST_F(CellOperationsTest, OperateKeepsFullPrecision) {
  PutColumn(kXColumn, {"0.1", "1"});
  const CellSet xColumn{CellSetKind::XColumnCells, {}, kFitColumn};
  const OperateOutcome outcome = OperateOnCells(*s, xColumn, kCellTimesK, 3);
  EXPECT_FALSE(outcome.undefined);
  EXPECT_EQ(s->Cells.Number(1, kXColumn), 0.1L * 3);
  EXPECT_EQ(FormatStatistics(outcome.statistics).total, "3.3");
}

}  // namespace
}  // namespace tavel
