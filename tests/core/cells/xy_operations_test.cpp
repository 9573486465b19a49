#include "core/cells/xy_operations.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

using Cell = std::optional<Real>;  // empty when the cell is empty

struct Row {
  Cell x;
  Cell y;
};

struct XYCase {
  const char* name;
  int operation;
  std::vector<Row> before;
  std::vector<Row> after;
  bool overflow;
};

class XYTable : public ::testing::TestWithParam<XYCase> {
 protected:
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
};

TEST_P(XYTable, RowsAfterOperate) {
  const XYCase& c = GetParam();
  ws.Settings.NextDataSize = static_cast<std::int32_t>(c.before.size()) + 1;
  Series& s = ws.CreateSeries();
  for (std::size_t i = 0; i < c.before.size(); ++i) {
    const auto row = static_cast<std::int32_t>(i + 1);
    if (c.before[i].x) s.Cells.SetNumber(row, kXColumn, *c.before[i].x);
    if (c.before[i].y) s.Cells.SetNumber(row, kYColumn, *c.before[i].y);
  }
  EXPECT_EQ(OperateXY(s, c.operation), c.overflow);
  for (std::size_t i = 0; i <= c.before.size(); ++i) {
    const auto row = static_cast<std::int32_t>(i + 1);
    const Row want = i < c.after.size() ? c.after[i] : Row{};
    for (const auto& [column, cell] : {std::pair{kXColumn, want.x}, std::pair{kYColumn, want.y}}) {
      if (cell) {
        EXPECT_EQ(s.Cells.StateOf(row, column), CellGrid::State::Number) << "row " << row;
        EXPECT_EQ(s.Cells.Number(row, column), *cell) << "row " << row << " column " << column;
      } else {
        EXPECT_TRUE(s.Cells.IsEmpty(row, column)) << "row " << row << " column " << column;
      }
    }
  }
}

const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Items, XYTable,
    ::testing::Values(
        XYCase{"SwitchXOnlyRow", kSwitchXY, {{5, none}, {1, 2}}, {{none, 5}, {2, 1}}, false},
        XYCase{"PlusOnEmptyY", kYPlusX, {{2, none}, {none, 3}}, {{2, 2}, {none, 3}}, false},
        XYCase{"DivideByZeroX", kYDivideX, {{0, 4}, {2, 4}}, {{0, 4}, {2, 2}}, false},
        XYCase{"XOverZeroY", kXDivideY, {{3, 0}, {3, 2}}, {{3, 0}, {3, 1.5L}}, false},
        XYCase{"ProductBeyondRange",
               kYTimesX,
               {{1e4000L, 1e4000L}, {2, 3}},
               {{1e4000L, 1e4000L}, {2, 6}},
               true},
        // Sorted by X first; rows with only X or only Y follow the complete points unchanged.
        XYCase{"SumSortsAndKeepsPartialRows",
               kYRunningSum,
               {{3, 3}, {7, none}, {1, 1}, {none, 9}, {2, 2}},
               {{1, 1}, {2, 3}, {3, 6}, {7, none}, {none, 9}},
               false},
        XYCase{"IntegralOnUnsortedInput",
               kYIntegral,
               {{none, 8}, {2, 2}, {0, 0}, {1, 2}},
               {{0, 0}, {1, 1}, {2, 3}, {none, 8}},
               false},
        XYCase{"SumBeyondRangeChangesNothing",
               kYRunningSum,
               {{2, 1e4932L}, {1, 1e4932L}},
               {{2, 1e4932L}, {1, 1e4932L}},
               true}),
    [](const auto& param) { return std::string(param.param.name); });

// The running sum walks the points in exactly the order SortByX gives them: equal X keep
// their row order, -0 equals 0, and a large series (sorted in two halves) is no different.
TEST(XYOperationsOrder, SumFollowsTheOrderOfSortByX) {
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  const Real pool[] = {-1e4000L, -2.5L, -0.0L, 0.0L, 1e-4940L, 3, 7.25L, 1e4000L};
  const std::int32_t rows = 40000;
  ws.Settings.NextDataSize = rows;
  Series& operated = ws.CreateSeries();
  Series& reference = ws.CreateSeries();
  std::uint32_t state = 12345;
  for (std::int32_t row = 1; row <= rows; ++row) {
    state = state * 1664525u + 1013904223u;
    for (Series* s : {&operated, &reference}) {
      s->Cells.SetNumber(row, kXColumn, pool[(state >> 16) % 8]);
      s->Cells.SetNumber(row, kYColumn, row);
    }
  }
  reference.SortByX(true);
  ASSERT_FALSE(OperateXY(operated, kYRunningSum));
  Real sum = 0;
  for (std::int32_t row = 1; row <= rows; ++row) {
    const Tdata& p = reference.Points[static_cast<std::size_t>(row - 1)];
    sum += p.Y;
    ASSERT_EQ(operated.Cells.Number(row, kXColumn), p.X) << "row " << row;
    ASSERT_EQ(operated.Cells.Number(row, kYColumn), sum) << "row " << row;
  }
}

}  // namespace
}  // namespace tavel
