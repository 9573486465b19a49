#include "core/series/series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class SeriesTest : public ::testing::Test {
 protected:
  SeriesTest() { ws.Settings.NextDataSize = 10; }

  Series& NewSeries(std::int32_t rows = 10) {
    ws.Settings.NextDataSize = rows;
    return ws.CreateSeries();
  }

  // Rows as {x, y}; an empty optional leaves the cell empty.
  static void Put(Series& s, std::int32_t row, std::optional<Real> x, std::optional<Real> y) {
    if (x) s.Cells.SetNumber(row, kXColumn, *x);
    if (y) s.Cells.SetNumber(row, kYColumn, *y);
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
};

TEST_F(SeriesTest, NewSeriesHasItsCreationValues) {
  Series& s = NewSeries();
  EXPECT_EQ(s.SeriesNumber, 1);
  EXPECT_EQ(s.Caption(), "Series Number: 1");
  EXPECT_EQ(s.MaxIndex, 10);
  EXPECT_EQ(s.Points.size(), 10u);
  EXPECT_EQ(s.PointCount, 0);
  EXPECT_EQ(s.FileName, "NoName.prn");
  EXPECT_EQ(s.PrinterColor, kPrinterDefault);
  EXPECT_TRUE(s.LeftAxis);
  EXPECT_TRUE(s.ShowPoints);
  EXPECT_EQ(s.GraphType, kGraphLine);
  EXPECT_FALSE(s.FitActive);
  EXPECT_EQ(s.Fit.FitKind, kFitNone);
  EXPECT_FALSE(s.Fit.FitOk);
  EXPECT_TRUE(s.Fit.FitValueOk);
  EXPECT_EQ(s.Fit.FitSeriesNumber, 1);
}

TEST_F(SeriesTest, HeadingsFollowTheSeriesNumber) {
  ws.UseGivenSeriesNumber = true;
  ws.GivenSeriesNumber = 3;
  Series& s = NewSeries();
  EXPECT_EQ(s.HeaderText(kIndexColumn), " Index");
  EXPECT_EQ(s.HeaderText(kXColumn), "             X3");
  EXPECT_EQ(s.HeaderText(kYColumn), "             Y3");
  EXPECT_EQ(s.HeaderText(kFitColumn), "          Y3 Fit");
  EXPECT_EQ(s.PrinterColor, kPrinterBlack);
}

TEST_F(SeriesTest, CaptionNamesTheUpperCasedFileWithoutFolder) {
  Series& s = NewSeries();
  s.FileName = "/home/u/data/run1.prn";
  s.FileNameInCaption = true;
  EXPECT_EQ(s.Caption(), "Series Number: 1   -   RUN1.PRN");
}

TEST_F(SeriesTest, PackPointsKeepsCompleteRowsInOrderAndLeavesTheGrid) {
  Series& s = NewSeries(6);
  Put(s, 1, 5, 50);
  Put(s, 2, 1, std::nullopt);  // X only
  Put(s, 3, std::nullopt, 7);  // Y only
  Put(s, 4, 3, 30);
  Put(s, 6, 4, 40);
  s.PackPoints();
  ASSERT_EQ(s.PointCount, 3);
  EXPECT_EQ(s.Points.size(), 6u);
  const Real xs[] = {5, 3, 4};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(s.Points[i].X, xs[i]);
  for (std::size_t i = 3; i < 6; ++i) {
    EXPECT_FALSE(s.Points[i].XValid);
    EXPECT_FALSE(s.Points[i].YValid);
  }
  EXPECT_EQ(s.Cells.Text(2, kXColumn), "1");
  EXPECT_EQ(s.Cells.Text(3, kYColumn), "7");
}

TEST_F(SeriesTest, SortIsStableForEqualXInBothDirections) {
  Series& s = NewSeries(5);
  // Y records the original order among equal X.
  Put(s, 1, 2, 1);
  Put(s, 2, 1, 2);
  Put(s, 3, 2, 3);
  Put(s, 4, 1, 4);
  Put(s, 5, 3, 5);
  const struct {
    bool ascending;
    std::vector<Real> ys;
  } cases[] = {{true, {2, 4, 1, 3, 5}}, {false, {5, 1, 3, 2, 4}}};
  for (const auto& c : cases) {
    s.SortByX(c.ascending);
    s.FillGrid();  // the next sort starts from this order, as the menu command does
    std::vector<Real> ys;
    for (int i = 0; i < s.PointCount; ++i) ys.push_back(s.Points[i].Y);
    EXPECT_EQ(ys, c.ys) << (c.ascending ? "ascending" : "descending");
    // Sorting the same rows again in the same direction changes nothing.
    s.SortByX(c.ascending);
    std::vector<Real> again;
    for (int i = 0; i < s.PointCount; ++i) again.push_back(s.Points[i].Y);
    EXPECT_EQ(again, c.ys);
  }
}

// Many rows (sorted in halves) with many ties, signed zeros, X values equal as doubles and
// beyond the double's range: the order is exactly a stable sort's.
TEST_F(SeriesTest, LargeSortIsTheStableSortInBothDirections) {
  constexpr std::int32_t kRows = 100000;
  const Real pool[] = {0,       -0.0L,   1,       1 + std::ldexp(1.0L, -60),
                       -3,      2.5,     1e300L,  -1e-300L,
                       1e4000L, 2e4000L, -1e4000L};
  Series& s = NewSeries(kRows);
  std::vector<std::pair<Real, Real>> rows;
  std::uint32_t seed = 7;
  for (std::int32_t r = 0; r < kRows; ++r) {
    seed = seed * 1103515245u + 12345u;
    rows.emplace_back(pool[(seed >> 16) % std::size(pool)], r);
    s.Points[static_cast<std::size_t>(r)] = Tdata(rows.back().first, r, 0, true, true);
  }
  s.FillGrid();
  for (const bool ascending : {true, false}) {
    std::vector<std::pair<Real, Real>> expected = rows;
    std::stable_sort(expected.begin(), expected.end(), [ascending](const auto& a, const auto& b) {
      return ascending ? a.first < b.first : a.first > b.first;
    });
    s.SortByX(ascending);
    ASSERT_EQ(s.PointCount, kRows);
    for (std::int32_t r = 0; r < kRows; ++r) {
      const Tdata& row = s.Points[static_cast<std::size_t>(r)];
      ASSERT_EQ(row.Y, expected[static_cast<std::size_t>(r)].second) << r << ascending;
      ASSERT_EQ(std::signbit(row.X), std::signbit(expected[static_cast<std::size_t>(r)].first));
    }
    s.FillGrid();  // as the menu command leaves it
    rows = expected;
  }
}

TEST_F(SeriesTest, ExtentsLinearAndLogarithmic) {
  Series& s = NewSeries(4);
  Put(s, 1, 5, -1);
  Put(s, 2, -2, 4);
  Put(s, 3, 0, 0.5L);
  Put(s, 4, 3, 2);
  s.SortByX(true);
  EXPECT_EQ(s.XMin, -2);
  EXPECT_EQ(s.XMax, 5);
  EXPECT_EQ(s.YMin, -1);
  EXPECT_EQ(s.YMax, 4);

  ws.Settings.LogX = true;
  ws.Settings.LogY = true;
  s.SortByX(true);
  EXPECT_EQ(s.XMin, 3);
  EXPECT_EQ(s.XMax, 5);
  EXPECT_EQ(s.YMin, 0.5L);
  EXPECT_EQ(s.YMax, 4);
}

TEST_F(SeriesTest, LogExtentsWithoutPositiveValues) {
  Series& s = NewSeries(3);
  Put(s, 1, -3, -1);
  Put(s, 2, -1, 0);
  Put(s, 3, 0, -5);
  ws.Settings.LogX = true;
  ws.Settings.LogY = true;
  s.SortByX(true);
  EXPECT_EQ(s.XMin, 0);  // the last complete row's X
  EXPECT_EQ(s.YMin, 0.1L);
  EXPECT_EQ(s.YMax, 0);
}

TEST_F(SeriesTest, FewerThanTwoPointsKeepTheOldExtents) {
  Series& s = NewSeries(3);
  s.XMin = -9;
  s.XMax = 9;
  s.YMin = -8;
  s.YMax = 8;
  Put(s, 2, 1, 1);
  s.SortByX(true);
  EXPECT_EQ(s.PointCount, 1);
  EXPECT_EQ(s.XMin, -9);
  EXPECT_EQ(s.XMax, 9);
  EXPECT_EQ(s.YMin, -8);
  EXPECT_EQ(s.YMax, 8);
}

TEST_F(SeriesTest, FillGridAfterReadGridKeepsFullPrecision) {
  Series& s = NewSeries(2);
  const Real tiny = 1.23456789012E-10L;
  Put(s, 1, tiny, 1.0L / 3);
  s.ReadGrid();
  s.FillGrid();
  s.ReadGrid();
  EXPECT_EQ(s.Points[0].X, tiny);
  EXPECT_EQ(s.Points[0].Y, 1.0L / 3);
  EXPECT_EQ(s.Cells.Text(1, kXColumn), "1.23457E-0010");
}

TEST_F(SeriesTest, ClearFitOnlyWhenActive) {
  Series& s = NewSeries(2);
  int refreshed = 0;
  s.GridChanged = [&] { ++refreshed; };
  s.FitHeader = "   % Error YFit";
  s.Cells.SetNumber(1, kFitColumn, 4);
  s.Fit.FitKind = 1;
  s.Fit.A = 2;
  s.GraphType = kGraphLineFit;
  s.ClearFit();
  EXPECT_EQ(s.FitHeader, "   % Error YFit");
  EXPECT_EQ(s.Cells.Text(1, kFitColumn), "4");
  EXPECT_EQ(s.Fit.A, 2);
  EXPECT_EQ(refreshed, 0);

  const struct {
    std::int32_t before, after;
  } types[] = {{kGraphFit, kGraphLine},   {kGraphLineFit, kGraphLine},
               {kGraphBarFit, kGraphBar}, {kGraphBar, kGraphBar},
               {kGraphNone, kGraphNone},  {kGraphLineBar, kGraphLineBar}};
  for (const auto& t : types) {
    s.FitActive = true;
    s.Fit.FitKind = 2;
    s.Fit.A = s.Fit.F = s.Fit.R2 = 1;
    s.Points[0].YFit = 3;
    s.Points[0].FitValid = true;
    s.Cells.SetNumber(2, kFitColumn, 3);
    s.GraphType = t.before;
    s.ClearFit();
    EXPECT_EQ(s.GraphType, t.after);
    EXPECT_FALSE(s.FitActive);
    EXPECT_EQ(s.Fit.FitKind, kFitNone);
    EXPECT_EQ(s.Fit.A, 0);
    EXPECT_EQ(s.Fit.F, 0);
    EXPECT_EQ(s.Fit.R2, 0);
    EXPECT_EQ(s.FitHeader, "          Y1 Fit");
    EXPECT_TRUE(s.Cells.IsEmpty(1, kFitColumn));
    EXPECT_TRUE(s.Cells.IsEmpty(2, kFitColumn));
    EXPECT_FALSE(s.Points[0].FitValid);
    EXPECT_EQ(s.Points[0].YFit, 0);
  }
  EXPECT_EQ(refreshed, 6);
}

// The grid keeps its numbers in the rows only while the two agree; whatever reorders the rows or
// hands them to a computation leaves the grid as it was.
TEST_F(SeriesTest, GridKeepsItsCellsWhateverHappensToTheRows) {
  Series& s = NewSeries(4);
  Put(s, 1, 3, 30);
  Put(s, 2, 1, 10);
  Put(s, 3, 2, std::nullopt);
  const auto column = [&](int c) {
    std::vector<std::string> texts;
    for (std::int32_t row = 1; row <= 4; ++row) texts.push_back(s.Cells.Text(row, c));
    return texts;
  };
  const std::vector<std::string> xs{"3", "1", "2", ""}, ys{"30", "10", "", ""};

  s.SortByX(true);  // packs and sorts: the rows move, the grid does not
  EXPECT_EQ(s.Points[0].X, 1);
  EXPECT_EQ(column(kXColumn), xs);
  s.Points[0].Y = 99;
  EXPECT_EQ(column(kYColumn), ys);

  s.ReadGrid();  // the rows are the caller's now
  s.Points[0].X = -7;
  std::swap(s.Points[1], s.Points[2]);
  EXPECT_EQ(column(kXColumn), xs);
  s.ReadGrid();
  EXPECT_EQ(s.Points[0].X, 3);
  EXPECT_EQ(s.Points[2].X, 2);

  const CellGrid copy = s.Cells;  // a copy keeps its own cells
  s.FillGrid();                   // the rows become the grid, each value kept once
  EXPECT_TRUE(s.Cells.SharesRows());
  s.Cells.SetNumber(4, kXColumn, 5);  // a cell write leaves the rows as they are
  EXPECT_FALSE(s.Cells.SharesRows());
  EXPECT_EQ(s.Cells.Text(4, kXColumn), "5");
  EXPECT_FALSE(s.Points[3].XValid);
  EXPECT_TRUE(copy.IsEmpty(4, kXColumn));

  Series& sorted = NewSeries(3);
  Put(sorted, 1, 1, 1);
  Put(sorted, 2, 2, 4);
  sorted.SortByX(true);  // complete rows in order: they are the grid's cells again
  EXPECT_TRUE(sorted.Cells.SharesRows());
  sorted.SortByX(true);  // and nothing moves or is copied the next time
  EXPECT_EQ(sorted.PointCount, 2);
  EXPECT_EQ(sorted.YMax, 4);
}

TEST(EmptyRows, AreEmptyEvenOnMemoryUsedBefore) {
  for (const std::size_t count : {std::size_t{10}, std::size_t{100'000}, std::size_t{300'001}}) {
    {
      std::vector<unsigned char> used(count * sizeof(Tdata) + 4096, 0xAB);
      EXPECT_EQ(used[count], 0xAB);
    }
    const std::vector<Tdata> rows = MakeEmptyRows(count);
    ASSERT_EQ(rows.size(), count);
    std::size_t empty = 0;
    for (const Tdata& row : rows) {
      empty +=
          row.X == 0 && row.Y == 0 && row.YFit == 0 && !row.XValid && !row.YValid && !row.FitValid;
    }
    EXPECT_EQ(empty, count);
  }
}

}  // namespace
}  // namespace tavel
