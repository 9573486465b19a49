#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/cells/grid_edit.h"
#include "core/series/real.h"

namespace tavel {

class CellGrid;
class Series;

// The items of the operation box, in its order.
enum CellOperation : int {
  kCellPlusK = 0,
  kCellMinusK = 1,
  kCellTimesK = 2,
  kCellDivideK = 3,
  kCellPowerK = 4,
  kTenPowerCell = 5,
  kLog10Cell = 6,
  kReciprocalCell = 7,
  kRoundCell = 8,
};

// The choices of the "Operate on" box, in its order.
enum class CellSetKind : int { SelectedCells = 0, XColumnCells = 1, YColumnCells = 2 };

// The cells an operation or the statistics work on. The selection and the cursor matter only
// for SelectedCells: with the cursor in the Fit column that set is empty.
struct CellSet {
  CellSetKind kind = CellSetKind::SelectedCells;
  CellRect selection;
  int cursorColumn = kXColumn;
};

// The rectangle the set covers, clipped to the grid; left > right or top > bottom when the set
// is empty. Its cells are taken row by row from the top, left to right within a row.
CellRect CellSetRect(const CellGrid& cells, const CellSet& set);

// A cell as the operations read it: its number, or nothing for an empty cell or a text that is
// not a number (commas count as decimal points).
std::optional<Real> CellNumber(const CellGrid& cells, std::int32_t row, int column);

// Total, average and sample sigma of the numbers of a set. With no number all three are 0.
// When a value is too large for the sums (a cell near the top of the extended range), the
// statistics cannot be given: `empty` is set, the values are 0 and the fields stay blank. When
// only the squares of the deviations overflow, Total and Average stand and `noSigma` leaves the
// Sigma field blank.
struct CellStatistics {
  bool empty = false;
  bool noSigma = false;
  std::int32_t count = 0;
  Real total = 0;
  Real average = 0;
  Real sigma = 0;
};

CellStatistics ComputeStatistics(const CellGrid& cells, const CellSet& set);

// The texts of the Total, Average and Sigma fields.
struct StatisticsText {
  std::string total;
  std::string average;
  std::string sigma;
};

StatisticsText FormatStatistics(const CellStatistics& statistics);

// What "Copy" puts on the clipboard: the three field texts separated by single carriage returns.
std::string StatisticsCopyText(const StatisticsText& fields);

// K as the dialog reads it from its edit: commas become points, then the whole text must be a
// number.
std::optional<Real> ReadConstant(std::string_view text);

// The result of one operation on one value. `defined` is false where the operation has no
// result (division by 0, logarithm or power of a value <= 0, a result beyond the extended
// range); `value` is then the value itself, which the cell keeps.
struct OperationResult {
  Real value = 0;
  bool defined = true;
};

OperationResult ApplyCellOperation(int operation, Real value, Real k);

// Shown once after an operation in which some cell had no result.
inline constexpr std::string_view kUndefinedOperationMessage =
    "Undefined math operation.  Some cells may be incorrect.";

struct OperateOutcome {
  bool undefined = false;     // some cell kept its value: show kUndefinedOperationMessage
  CellStatistics statistics;  // of the same set, after the operation
};

// Operate: every number cell of the set is rewritten with its result (or, where there is none,
// with its own value) in the standard form; cells that are not numbers stay as they are. Then
// the statistics of the set are taken and the series' fit is cleared. Redrawing is the caller's.
OperateOutcome OperateOnCells(Series& series, const CellSet& set, int operation, Real k);

}  // namespace tavel
