#pragma once

#include <cstdint>
#include <string>

#include "core/series/cell_grid.h"
#include "core/series/real.h"

namespace tavel {

class Series;

// A grid position: rows 1..MaxIndex, columns X (1), Y (2) and Fit (3).
struct GridCell {
  std::int32_t row = 1;
  int column = kXColumn;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// A rectangle of cells, corners included. Operations clip it to the grid, so a rectangle
// reaching outside never writes outside.
struct CellRect {
  int left = kXColumn;
  std::int32_t top = 1;
  int right = kXColumn;
  std::int32_t bottom = 1;
};

// What the window has to do after a rule ran: the rules themselves never beep or draw.
struct EditOutcome {
  bool beep = false;
  bool redraw = false;
};

// The cell as it stood when its edit began. A refused or undone edit gives the cell back
// exactly, full value included, and not just the digits it showed.
struct SavedCell {
  CellGrid::State state = CellGrid::State::Empty;
  Real value = 0;
  std::string text;
};

SavedCell SaveCell(const CellGrid& cells, std::int32_t row, int column);
void RestoreCell(CellGrid& cells, std::int32_t row, int column, const SavedCell& saved);

// Start of editing: OldCellText, EditRow and EditCol of the series name the cell the editor
// opens on. While the edit is open the typed text lives in the cell as a free text.
SavedCell StartEditing(Series& series, std::int32_t row, int column);

// Ends the edit of the cell EditCol, EditRow: an empty text empties the cell, a number is
// written in its standard form and the fit rule runs, anything else gives the old cell back
// with a beep. The saved cell and OldCellText then describe the committed cell, so a second
// commit of the same edit changes nothing.
EditOutcome CommitEdit(Series& series, SavedCell& saved);

// CommitEdit as one step of the workspace's history ("Typing"). The typed text lives in the
// cell while the edit is open, so the step starts from the saved cell; it keeps the cell's row,
// and the Fit column only when there is a fit to clear.
EditOutcome CommitEditStep(Series& series, SavedCell& saved);

// The fit rule after a number went into a cell: an X with an empty Y takes the fitted Y where
// the fit is defined; every other change makes the fit stale.
void ApplyFitRule(Series& series, std::int32_t row, int column, Real value);

// Modifier keys held with a key; "held exactly" means no other modifier is held.
enum KeyModifier : unsigned {
  kShiftKey = 1u,
  kCtrlKey = 2u,
  kAltKey = 4u,
  kMetaKey = 8u,
};

// Edit mode after a key went down (any key, modifiers included): a plain key starts editing,
// Shift alone leaves it as it is so Shift+arrows select, Ctrl+Shift toggles it, and the Fit
// column never edits.
bool EditModeAfterKeyDown(int currentColumn, bool editMode, unsigned modifiers);

// Edit mode after a double click on the current cell.
bool EditModeAfterDoubleClick(int currentColumn, bool editMode);

// Where Tab (or Shift+Tab, held exactly) moves the current cell: along X and Y of a row, then
// on to the next row; never past the first or the last row.
GridCell TabTarget(GridCell current, bool shiftExactly, std::int32_t maxIndex);

// Delete with edit mode on: every cell of the rectangle emptied, the fit cleared, the rows
// rebuilt from the grid.
void DeleteCells(Series& series, CellRect rect);

// The rectangle clipped to the series' grid; left > right or top > bottom when nothing is left.
CellRect ClipToGrid(const CellGrid& cells, CellRect rect);

}  // namespace tavel
