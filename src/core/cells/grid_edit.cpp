#include "core/cells/grid_edit.h"

#include <algorithm>

#include "core/fit/fit_engine.h"
#include "core/series/number_text.h"
#include "core/series/history.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

bool InGrid(const CellGrid& cells, std::int32_t row, int column) {
  return row >= 1 && row <= cells.RowCount() && column >= kXColumn && column <= kFitColumn;
}

void Notify(Series& series) {
  if (series.GridChanged) series.GridChanged();
}

}  // namespace

SavedCell SaveCell(const CellGrid& cells, std::int32_t row, int column) {
  SavedCell saved;
  if (!InGrid(cells, row, column)) return saved;
  saved.state = cells.StateOf(row, column);
  saved.value = cells.Number(row, column);
  saved.text = cells.Text(row, column);
  return saved;
}

void RestoreCell(CellGrid& cells, std::int32_t row, int column, const SavedCell& saved) {
  if (!InGrid(cells, row, column)) return;
  switch (saved.state) {
    case CellGrid::State::Empty:
      cells.Clear(row, column);
      break;
    case CellGrid::State::Number:
      cells.SetNumber(row, column, saved.value);
      break;
    case CellGrid::State::Text:
      cells.Clear(row, column);
      cells.SetText(row, column, saved.text);
      break;
  }
}

SavedCell StartEditing(Series& series, std::int32_t row, int column) {
  series.EditRow = row;
  series.EditCol = column;
  SavedCell saved = SaveCell(series.Cells, row, column);
  series.OldCellText = saved.text;
  return saved;
}

EditOutcome CommitEdit(Series& series, SavedCell& saved) {
  const std::int32_t row = series.EditRow;
  const int column = series.EditCol;
  // The Fit column is never edited, so an edit there can only be a stale one.
  if (row == 0 || column == 0 || column == kFitColumn || !InGrid(series.Cells, row, column)) {
    return {};
  }
  series.NewCellText = series.Cells.Text(row, column);
  if (series.NewCellText == series.OldCellText) {
    // Typing the same digits again must not cost the digits the cell did not show.
    RestoreCell(series.Cells, row, column, saved);
    return {};
  }
  EditOutcome outcome;
  if (series.NewCellText.empty()) {
    series.Cells.Clear(row, column);
  } else if (const auto value = ParseNumber(NormalizeDecimalPoint(series.NewCellText))) {
    series.CellValue = *value;
    series.Cells.SetNumber(row, column, *value);
    ApplyFitRule(series, row, column, *value);
    outcome.redraw = true;
  } else {
    RestoreCell(series.Cells, row, column, saved);
    outcome.beep = true;
  }
  saved = SaveCell(series.Cells, row, column);
  series.OldCellText = saved.text;
  Notify(series);
  return outcome;
}

EditOutcome CommitEditStep(Series& series, SavedCell& saved) {
  const std::int32_t row = series.EditRow;
  const int column = series.EditCol;
  if (!InGrid(series.Cells, row, column) || column == kFitColumn) return CommitEdit(series, saved);
  const SavedCell typed = SaveCell(series.Cells, row, column);
  RestoreCell(series.Cells, row, column, saved);
  HistoryRecorder step(series.Owner(), "Typing");
  step.WatchRows(series, row, row);
  if (series.FitActive) step.WatchColumn(series, kFitColumn);
  RestoreCell(series.Cells, row, column, typed);
  return CommitEdit(series, saved);
}

void ApplyFitRule(Series& series, std::int32_t row, int column, Real value) {
  if (column != kXColumn) {
    series.ClearFit();
    return;
  }
  if (!series.Cells.IsEmpty(row, kYColumn)) {
    series.ClearFit();
    return;
  }
  if (series.Fit.FitKind == kFitNone) return;
  const Real fitted = TFitObj(series).YFIT(value);
  if (series.Fit.FitValueOk) series.Cells.SetNumber(row, kYColumn, fitted);
}

bool EditModeAfterKeyDown(int currentColumn, bool editMode, unsigned modifiers) {
  const unsigned held = modifiers & (kShiftKey | kCtrlKey | kAltKey | kMetaKey);
  if (currentColumn == kFitColumn) return false;
  if (held == (kCtrlKey | kShiftKey)) return !editMode;
  if (!editMode && held != kShiftKey) return true;
  return editMode;
}

bool EditModeAfterDoubleClick(int currentColumn, bool editMode) {
  if (editMode) return false;
  return currentColumn != kFitColumn;
}

GridCell TabTarget(GridCell current, bool shiftExactly, std::int32_t maxIndex) {
  GridCell next = current;
  if (shiftExactly) {
    if (current.column == kYColumn) {
      next.column = kXColumn;
    } else {
      next.column = kYColumn;
      if (current.row > 1) --next.row;
    }
  } else if (current.column == kXColumn) {
    next.column = kYColumn;
  } else {
    next.column = kXColumn;
    if (current.row < maxIndex) ++next.row;
  }
  return next;
}

CellRect ClipToGrid(const CellGrid& cells, CellRect rect) {
  rect.left = std::max(rect.left, static_cast<int>(kXColumn));
  rect.right = std::min(rect.right, static_cast<int>(kFitColumn));
  rect.top = std::max<std::int32_t>(rect.top, 1);
  rect.bottom = std::min(rect.bottom, cells.RowCount());
  return rect;
}

void DeleteCells(Series& series, CellRect rect) {
  rect = ClipToGrid(series.Cells, rect);
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (int column = rect.left; column <= rect.right; ++column) series.Cells.Clear(row, column);
  }
  series.ClearFit();
  series.ReadGrid();
  Notify(series);
}

}  // namespace tavel
