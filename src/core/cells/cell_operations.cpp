#include "core/cells/cell_operations.h"

#include <algorithm>
#include <cmath>

#include "core/series/cell_grid.h"
#include "core/series/number_text.h"
#include "core/series/run_parts.h"
#include "core/series/series.h"

namespace tavel {

namespace {

// From this magnitude on an extended value has no fraction bits left.
constexpr Real kNoFractionBelow = 9223372036854775808.0L;  // 2^63

constexpr std::int32_t kSplitRows = 1 << 15;

CellRect EmptyRect() {
  return CellRect{kXColumn, 1, kXColumn, 0};
}

bool IsEmpty(const CellRect& rect) {
  return rect.left > rect.right || rect.top > rect.bottom;
}

// One operation with its K, with what depends on K alone worked out once for a whole column.
class CellOperator {
 public:
  CellOperator(int operation, Real k) : operation_(operation), k_(k) {
    if (operation == kRoundCell) {
      decimals_ = std::trunc(k);
      scale_ = std::pow(10.0L, decimals_);
    }
  }

  OperationResult operator()(Real v) const {
    Real r = v;
    switch (operation_) {
      case kCellPlusK:
        r = v + k_;
        break;
      case kCellMinusK:
        r = v - k_;
        break;
      case kCellTimesK:
        r = v * k_;
        break;
      case kCellDivideK:
        if (k_ == 0) return {v, false};
        r = v / k_;
        break;
      case kCellPowerK:
        if (!(v > 0)) return {v, false};
        r = Power(v, k_);
        break;
      case kTenPowerCell:
        // Power(10, v) and Log10(v) with ln 10 taken once rather than per cell.
        r = std::exp(v * ln10_);
        break;
      case kLog10Cell:
        if (!(v > 0)) return {v, false};
        r = std::log(v) / ln10_;
        break;
      case kReciprocalCell:
        if (v == 0) return {v, false};
        r = 1 / v;
        break;
      case kRoundCell:
        return Round(v);
      default:
        return {v, true};
    }
    if (!std::isfinite(r)) return {v, false};
    return {r, true};
  }

 private:
  // Half away from zero at the d-th decimal: a negative value is rounded as the mirror image of
  // its positive, so -2.7 goes to -3 as 2.7 goes to 3.
  OperationResult Round(Real v) const {
    // Rounding to a decimal at or right of the point leaves a value without fraction as it is,
    // however many decimals were asked for.
    if (decimals_ >= 0 && std::fabs(v) >= kNoFractionBelow) return {v, true};
    const Real w = std::fabs(v) * scale_;
    if (!std::isfinite(w)) return {v, false};
    if (w >= kNoFractionBelow) return {v, true};
    const Real cut = std::trunc(w);
    const Real rounded = (w - cut >= 0.5L) ? cut + 1 : cut;
    Real r = rounded / scale_;
    if (!std::isfinite(r)) return {v, false};
    if (v < 0) r = -r;
    if (r == 0) r = 0;  // no "-0" left in a cell
    return {r, true};
  }

  int operation_;
  Real k_;
  Real decimals_ = 0;
  Real scale_ = 1;
  Real ln10_ = std::log(10.0L);
};

// Calls f(row, column) for every cell of the rectangle, row by row.
template <typename F>
void ForEachCell(const CellRect& rect, F&& f) {
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (int column = rect.left; column <= rect.right; ++column) f(row, column);
  }
}

}  // namespace

CellRect CellSetRect(const CellGrid& cells, const CellSet& set) {
  CellRect rect;
  switch (set.kind) {
    case CellSetKind::SelectedCells:
      if (set.cursorColumn == kFitColumn) return EmptyRect();
      rect = set.selection;
      break;
    case CellSetKind::XColumnCells:
      rect = {kXColumn, 1, kXColumn, cells.RowCount()};
      break;
    case CellSetKind::YColumnCells:
      rect = {kYColumn, 1, kYColumn, cells.RowCount()};
      break;
  }
  rect = ClipToGrid(cells, rect);
  return IsEmpty(rect) ? EmptyRect() : rect;
}

std::optional<Real> CellNumber(const CellGrid& cells, std::int32_t row, int column) {
  switch (cells.StateOf(row, column)) {
    case CellGrid::State::Empty:
      return std::nullopt;
    case CellGrid::State::Number:
      return cells.Number(row, column);
    case CellGrid::State::Text:
      return ParseNumber(NormalizeDecimalPoint(cells.Text(row, column)));
  }
  return std::nullopt;
}

CellStatistics ComputeStatistics(const CellGrid& cells, const CellSet& set) {
  const CellRect rect = CellSetRect(cells, set);
  CellStatistics stats;
  Real sum = 0;
  std::int32_t n = 0;
  ForEachCell(rect, [&](std::int32_t row, int column) {
    if (const auto v = CellNumber(cells, row, column)) {
      sum += *v;
      ++n;
    }
  });
  if (n == 0) return stats;
  // Overflow is sticky (inf, then inf or NaN), so one test after each pass catches any value
  // that went beyond the range on the way.
  if (!std::isfinite(sum)) return CellStatistics{true};
  const Real mean = sum / n;
  // The deviations from the mean in a second pass: the one-pass sum of squares loses every
  // digit of values such as 1700000001..1700000004.
  Real squares = 0;
  ForEachCell(rect, [&](std::int32_t row, int column) {
    if (const auto v = CellNumber(cells, row, column)) {
      const Real deviation = *v - mean;
      squares += deviation * deviation;
    }
  });
  stats.count = n;
  stats.total = sum;
  stats.average = mean;
  if (!std::isfinite(squares)) {
    stats.noSigma = true;
    return stats;
  }
  stats.sigma = n >= 2 ? std::sqrt(std::fabs(squares / (n - 1))) : 0;
  return stats;
}

StatisticsText FormatStatistics(const CellStatistics& statistics) {
  if (statistics.empty) return {};
  return {FormatNumber(statistics.total, 14), FormatNumber(statistics.average, 14),
          statistics.noSigma ? std::string() : FormatNumber(statistics.sigma, 14)};
}

std::string StatisticsCopyText(const StatisticsText& fields) {
  return fields.total + '\r' + fields.average + '\r' + fields.sigma;
}

std::optional<Real> ReadConstant(std::string_view text) {
  return ParseNumber(NormalizeDecimalPoint(text));
}

OperationResult ApplyCellOperation(int operation, Real v, Real k) {
  return CellOperator(operation, k)(v);
}

OperateOutcome OperateOnCells(Series& series, const CellSet& set, int operation, Real k) {
  CellGrid& cells = series.Cells;
  const CellOperator apply(operation, k);
  const CellRect rect = CellSetRect(cells, set);
  // Each cell stands alone, so a large set without free texts is worked in two halves of rows,
  // the second on a helper thread; the cells come out the same either way.
  const std::int32_t rows = rect.bottom - rect.top + 1;
  const int parts = rows >= kSplitRows && !cells.HasTexts() ? 2 : 1;
  const std::int32_t middle = parts == 2 ? rect.top + rows / 2 : rect.bottom + 1;
  bool undefined[2] = {false, false};
  RunParts(parts, [&](int part) {
    CellRect half = rect;
    if (part == 0) {
      half.bottom = middle - 1;
    } else {
      half.top = middle;
    }
    ForEachCell(half, [&](std::int32_t row, int column) {
      const auto v = CellNumber(cells, row, column);
      if (!v) return;
      const OperationResult result = apply(*v);
      if (!result.defined) undefined[part] = true;
      cells.SetNumber(row, column, result.value);
    });
  });
  OperateOutcome outcome;
  outcome.undefined = undefined[0] || undefined[1];
  outcome.statistics = ComputeStatistics(cells, set);
  series.ClearFit();
  if (series.GridChanged) series.GridChanged();
  return outcome;
}

}  // namespace tavel
