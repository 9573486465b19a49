#include "core/series/cell_grid.h"

#include <gtest/gtest.h>

#include "core/series/number_text.h"

namespace tavel {
namespace {

TEST(CellGrid, NumberCellKeepsFullValueBehindItsShortText) {
  CellGrid grid(3);
  const Real value = 1.23456789012E-10L;
  grid.SetNumber(2, kYColumn, value);
  EXPECT_EQ(grid.Text(2, kYColumn), "1.23457E-0010");
  EXPECT_EQ(grid.Read(2, kYColumn).value, value);

  // Committing the text the cell already shows is not a change: the full value stays.
  grid.SetText(2, kYColumn, "1.23457E-0010");
  EXPECT_EQ(grid.StateOf(2, kYColumn), CellGrid::State::Number);
  EXPECT_EQ(grid.Read(2, kYColumn).value, value);

  // A changed text is what the user typed, and reads back as that.
  grid.SetText(2, kYColumn, "1.5E-10");
  EXPECT_EQ(grid.StateOf(2, kYColumn), CellGrid::State::Text);
  EXPECT_EQ(grid.Read(2, kYColumn).value, 1.5E-10L);
}

TEST(CellGrid, ReadingEachKindOfCell) {
  CellGrid grid(4);
  grid.SetText(1, kXColumn, "1,5");
  grid.SetText(2, kXColumn, "abc");
  grid.SetNumber(3, kXColumn, -2);
  struct {
    int row;
    bool valid;
    Real value;
  } const expected[] = {{1, true, 1.5L}, {2, true, 0}, {3, true, -2}, {4, false, 0}};
  for (const auto& e : expected) {
    const auto r = grid.Read(e.row, kXColumn);
    EXPECT_EQ(r.valid, e.valid) << e.row;
    EXPECT_EQ(r.value, e.value) << e.row;
  }
}

TEST(CellGrid, EmptyTextEmptiesAndClearDropsFreeText) {
  CellGrid grid(2);
  grid.SetText(1, kFitColumn, "x");
  grid.SetText(1, kFitColumn, "");
  EXPECT_TRUE(grid.IsEmpty(1, kFitColumn));
  EXPECT_EQ(grid.Text(1, kFitColumn), "");
  grid.SetText(2, kXColumn, "7,0");
  grid.SetNumber(2, kXColumn, 7);
  EXPECT_EQ(grid.Text(2, kXColumn), "7");
}

TEST(CellGrid, ResizeKeepsRemainingRowsAndForgetsDroppedTexts) {
  CellGrid grid(3);
  grid.SetNumber(1, kXColumn, 1);
  grid.SetText(3, kYColumn, "typed");
  grid.Resize(2);
  grid.Resize(4);
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.Text(1, kXColumn), "1");
  EXPECT_TRUE(grid.IsEmpty(3, kYColumn));
  EXPECT_THROW(grid.Text(5, kXColumn), std::out_of_range);
  EXPECT_THROW(grid.Text(0, kXColumn), std::out_of_range);
}

TEST(CellGrid, IndexTextIsRightAlignedInSeven) {
  EXPECT_EQ(CellGrid::IndexText(1), "      1");
  EXPECT_EQ(CellGrid::IndexText(10000), "  10000");
}

}  // namespace
}  // namespace tavel
