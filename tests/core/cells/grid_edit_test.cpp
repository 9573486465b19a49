#include "core/cells/grid_edit.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class GridEditTest : public ::testing::Test {
 protected:
  GridEditTest() {
    ws.Settings.NextDataSize = 5;
    s = &ws.CreateSeries();
  }

  // Types text into a cell as the window does: Start of editing, the text live in the cell,
  // then CommitEdit.
  EditOutcome Type(std::int32_t row, int column, const std::string& text) {
    SavedCell saved = StartEditing(*s, row, column);
    s->Cells.SetText(row, column, text);
    return CommitEdit(*s, saved);
  }

  // A first-order fit Y = 1 + 2X in use, with a filled Fit column.
  void UseLinearFit() {
    s->Fit.FitKind = 1;
    s->Fit.A = 1;
    s->Fit.B = 2;
    s->FitActive = true;
    s->GraphType = kGraphLineFit;
    s->Cells.SetNumber(1, kFitColumn, 3);
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  Series* s = nullptr;
};

struct CommitCase {
  std::optional<Real> before;  // the cell's number before the edit, or empty
  const char* typed;
  const char* shown;  // the cell's text afterwards
  bool beep;
  bool redraw;
};

class CommitEditTable : public GridEditTest, public ::testing::WithParamInterface<CommitCase> {};

TEST_P(CommitEditTable, CellAndOutcome) {
  const CommitCase& c = GetParam();
  for (int column : {kXColumn, kYColumn}) {
    if (c.before) {
      s->Cells.SetNumber(2, column, *c.before);
    } else {
      s->Cells.Clear(2, column);
    }
    const EditOutcome outcome = Type(2, column, c.typed);
    EXPECT_EQ(s->Cells.Text(2, column), c.shown) << "typed '" << c.typed << "' column " << column;
    EXPECT_EQ(outcome.beep, c.beep) << c.typed;
    EXPECT_EQ(outcome.redraw, c.redraw) << c.typed;
  }
}

INSTANTIATE_TEST_SUITE_P(Typed, CommitEditTable,
                         ::testing::Values(CommitCase{std::nullopt, "1,5", "1.5", false, true},
                                           CommitCase{std::nullopt, "1e3", "1000", false, true},
                                           CommitCase{std::nullopt, "-0.5", "-.5", false, true},
                                           CommitCase{std::nullopt, "3e-10", "3.00000E-0010", false,
                                                      true},
                                           CommitCase{2.0L, "abc", "2", true, false},
                                           CommitCase{2.0L, "1,5,3", "2", true, false},
                                           CommitCase{std::nullopt, "x1", "", true, false},
                                           CommitCase{2.0L, "", "", false, false},
                                           CommitCase{2.0L, "2", "2", false, false}));

TEST_F(GridEditTest, RefusedOrUnchangedEditKeepsTheFullValue) {
  const Real third = 1.0L / 3.0L;
  s->Cells.SetNumber(1, kXColumn, third);
  Type(1, kXColumn, "abc");
  EXPECT_EQ(s->Cells.Number(1, kXColumn), third);
  // Typing exactly the digits the cell showed is no change either.
  Type(1, kXColumn, s->Cells.Text(1, kXColumn));
  EXPECT_EQ(s->Cells.StateOf(1, kXColumn), CellGrid::State::Number);
  EXPECT_EQ(s->Cells.Number(1, kXColumn), third);
}

TEST_F(GridEditTest, CommitOutsideTheDataCellsDoesNothing) {
  SavedCell saved;
  s->EditRow = 0;
  s->EditCol = kXColumn;
  EXPECT_FALSE(CommitEdit(*s, saved).redraw);
  s->EditRow = 99;  // beyond the grid
  EXPECT_FALSE(CommitEdit(*s, saved).redraw);
}

TEST_F(GridEditTest, ClearingACellKeepsTheFit) {
  UseLinearFit();
  s->Cells.SetNumber(1, kYColumn, 4);
  Type(1, kYColumn, "");
  EXPECT_TRUE(s->Cells.IsEmpty(1, kYColumn));
  EXPECT_TRUE(s->FitActive);
  EXPECT_EQ(s->Cells.Text(1, kFitColumn), "3");
}

TEST_F(GridEditTest, XWithEmptyYTakesTheFittedValue) {
  UseLinearFit();
  Type(2, kXColumn, "3");
  EXPECT_EQ(s->Cells.Text(2, kYColumn), "7");
  EXPECT_TRUE(s->FitActive);
  // Committing the same edit again must not see the filled Y as a user's change.
  SavedCell saved = SaveCell(s->Cells, 2, kXColumn);
  CommitEdit(*s, saved);
  EXPECT_TRUE(s->FitActive);
}

TEST_F(GridEditTest, XWithFilledYOrAnyYClearsTheFit) {
  for (int column : {kXColumn, kYColumn}) {
    UseLinearFit();
    s->Cells.SetNumber(3, kYColumn, 10);
    Type(3, column, "4");
    EXPECT_FALSE(s->FitActive) << column;
    EXPECT_EQ(s->Fit.FitKind, kFitNone);
    EXPECT_EQ(s->GraphType, kGraphLine);
    EXPECT_TRUE(s->Cells.IsEmpty(1, kFitColumn));
  }
}

TEST_F(GridEditTest, PowerFitIsUndefinedAtNegativeX) {
  s->Fit.FitKind = kFitPower;
  s->Fit.A = 1;
  s->Fit.B = 2;
  s->FitActive = true;
  Type(1, kXColumn, "-2");
  EXPECT_TRUE(s->Cells.IsEmpty(1, kYColumn));
  Type(2, kXColumn, "3");
  EXPECT_EQ(s->Cells.Text(2, kYColumn), "9");
}

TEST(EditModeRules, KeyDown) {
  struct Case {
    int column;
    bool before;
    unsigned modifiers;
    bool after;
  };
  const Case cases[] = {
      {kXColumn, false, 0, true},                              // a plain key starts editing
      {kYColumn, true, 0, true},                               // and keeps it
      {kXColumn, false, kShiftKey, false},                     // Shift+arrows select
      {kXColumn, true, kShiftKey, true},                       //
      {kXColumn, false, kCtrlKey, true},                       // Ctrl alone is "not Shift"
      {kYColumn, false, kCtrlKey | kShiftKey, true},           // Ctrl+Shift toggles
      {kYColumn, true, kCtrlKey | kShiftKey, false},           //
      {kXColumn, true, kCtrlKey | kShiftKey | kAltKey, true},  // not held exactly
      {kXColumn, false, kShiftKey | kAltKey, true},            //
      {kFitColumn, true, 0, false},                            // the Fit column never edits
      {kFitColumn, false, 0, false},                           //
      {kFitColumn, false, kCtrlKey | kShiftKey, false},        //
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditModeAfterKeyDown(c.column, c.before, c.modifiers), c.after)
        << "column " << c.column << " before " << c.before << " modifiers " << c.modifiers;
  }
}

TEST(EditModeRules, DoubleClick) {
  EXPECT_TRUE(EditModeAfterDoubleClick(kXColumn, false));
  EXPECT_FALSE(EditModeAfterDoubleClick(kYColumn, true));
  EXPECT_FALSE(EditModeAfterDoubleClick(kFitColumn, false));
  EXPECT_FALSE(EditModeAfterDoubleClick(kFitColumn, true));
}

TEST(EditModeRules, TabMoves) {
  struct Case {
    GridCell from;
    bool shift;
    GridCell to;
  };
  const Case cases[] = {
      {{3, kXColumn}, false, {3, kYColumn}}, {{3, kYColumn}, false, {4, kXColumn}},
      {{5, kYColumn}, false, {5, kXColumn}},  // last row: stays in its row
      {{3, kYColumn}, true, {3, kXColumn}},  {{3, kXColumn}, true, {2, kYColumn}},
      {{1, kXColumn}, true, {1, kYColumn}},  // first row: stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabTarget(c.from, c.shift, 5), c.to)
        << "from " << c.from.row << "," << c.from.column << " shift " << c.shift;
  }
}

TEST_F(GridEditTest, DeleteEmptiesTheRectangleAndClearsTheFit) {
  UseLinearFit();
  for (std::int32_t row = 1; row <= 5; ++row) {
    s->Cells.SetNumber(row, kXColumn, row);
    s->Cells.SetNumber(row, kYColumn, row * 10);
  }
  // The rectangle reaches beyond the grid: it is clipped, never written outside.
  DeleteCells(*s, {kYColumn, 4, 7, 9});
  EXPECT_FALSE(s->FitActive);
  EXPECT_EQ(s->Cells.Text(3, kYColumn), "30");
  EXPECT_EQ(s->Cells.Text(4, kXColumn), "4");
  EXPECT_TRUE(s->Cells.IsEmpty(4, kYColumn));
  EXPECT_TRUE(s->Cells.IsEmpty(5, kYColumn));
  EXPECT_FALSE(s->Points[3].YValid);  // rows rebuilt from the grid
  EXPECT_TRUE(s->Points[3].XValid);
}

}  // namespace
}  // namespace tavel
