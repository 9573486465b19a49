#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/cells/grid_edit.h"

namespace tavel {

class CellGrid;
class Clipboard;
class Series;

// Only this much of the clipboard's text is read by a paste.
constexpr std::size_t kPasteLimit = 99999;

// The text of a block of cells: per row its cells joined by TAB, every row (the last too)
// ended by CR LF; empty cells give empty fields.
std::string CopyText(const CellGrid& cells, CellRect rect);

// Copy, then every copied cell emptied, the fit cleared and the rows rebuilt. Returns the text
// for the clipboard.
std::string CutCells(Series& series, CellRect rect);

// Reads numbers from the first kPasteLimit characters of the text into the grid, one text line
// per row from the start cell on: the first number of a line to the start column and, from X,
// the second to Y. Any character that cannot be part of a number separates numbers, a token
// that is no number is skipped (its column still counts), nothing goes into the Fit column.
// A line ends at CR, CR LF or a lone LF. When the lines reach below the last row the series
// grows to hold them, up to rowLimit (PasteRowLimit when none is given); the rows beyond even
// that are not pasted, and an error box says how many.
void PasteCells(Series& target, std::string_view text, GridCell start,
                std::optional<std::int64_t> rowLimit = std::nullopt);

// The most rows a paste may grow the series to: what the memory free can hold.
std::int64_t PasteRowLimit(const Series& target);

// Duplicate Data: puts the X and Y columns of every row on the clipboard, then, below the
// series limit, creates a series of the same size holding exactly the X and Y cells of the
// source (an empty cell stays empty, in its own column). At the limit: beep and the limit
// message. Returns the new series, or nullptr.
Series* DuplicateSeries(Series& source, Clipboard& clipboard);

// The limit message shown when no further series may be created.
std::string SeriesLimitMessage();

}  // namespace tavel
